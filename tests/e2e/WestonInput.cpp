// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// A Weston module for the Wayland end-to-end tests: a seat with a keyboard and
// a pointer whose events come from a test script, so the program under test
// gets its input from the compositor as it would from real devices. Weston's
// headless backend has no input devices, and Weston implements no protocol
// through which a client could type or point for another one.
//
//   weston --backend=headless-backend.so --modules=/path/velmia-weston-input.so
//
// VELMIA_INPUT_FIFO names a FIFO the module reads commands from, one a line;
// VELMIA_INPUT_REPLY a file it appends its answers to:
//   press KEY / release KEY   a Linux key code (linux/input-event-codes.h)
//   move X Y                  the pointer to output coordinates
//   down BUTTON / up BUTTON   a Linux button code (272 left, 273 right)
//   wheel N                   N notches (positive: toward the user)
//   focus                     answers "focus PID X Y WIDTH HEIGHT" for the
//                             surface with keyboard focus (its client's
//                             process, its place on the output and its
//                             size), or "focus none"
//   sync WORD                 answers "sync WORD" once the lines before it ran
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <libweston/libweston.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <weston/weston.h>

// libweston 10 exports the seat and input calls its backends use but installs
// no header for them; these are their declarations from that version.
extern "C" {
void weston_seat_init(struct weston_seat* seat, struct weston_compositor* ec, const char* seat_name);
int weston_seat_init_pointer(struct weston_seat* seat);
int weston_seat_init_keyboard(struct weston_seat* seat, struct xkb_keymap* keymap);
void weston_seat_release(struct weston_seat* seat);
void notify_key(struct weston_seat* seat, const struct timespec* time, uint32_t key, enum wl_keyboard_key_state state,
                enum weston_key_state_update update_state);
void notify_motion_absolute(struct weston_seat* seat, const struct timespec* time, double x, double y);
void notify_button(struct weston_seat* seat, const struct timespec* time, int32_t button,
                   enum wl_pointer_button_state state);
void notify_axis(struct weston_seat* seat, const struct timespec* time, struct weston_pointer_axis_event* event);
void notify_pointer_frame(struct weston_seat* seat);
}

namespace {

struct Injector {
    weston_compositor* compositor = nullptr;
    weston_seat seat{};
    int fifo = -1;
    wl_event_source* source = nullptr;
    std::string pending; // an incomplete line
    std::string replyPath;
    wl_listener destroy{};
};

void Reply(const Injector& in, const std::string& line)
{
    if (FILE* f = std::fopen(in.replyPath.c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

std::string FocusReport(Injector& in)
{
    weston_keyboard* keyboard = weston_seat_get_keyboard(&in.seat);
    if (!keyboard || !keyboard->focus || !keyboard->focus->resource)
        return "focus none";
    weston_surface* surface = keyboard->focus;
    pid_t pid = 0;
    uid_t uid = 0;
    gid_t gid = 0;
    wl_client_get_credentials(wl_resource_get_client(surface->resource), &pid, &uid, &gid);
    float x = 0, y = 0;
    if (!wl_list_empty(&surface->views)) {
        weston_view* view = wl_container_of(surface->views.next, view, surface_link);
        x = view->geometry.x;
        y = view->geometry.y;
    }
    std::ostringstream out;
    out << "focus " << pid << ' ' << int(x) << ' ' << int(y) << ' ' << surface->width << ' ' << surface->height;
    return out.str();
}

void Run(Injector& in, const std::string& line)
{
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    timespec now{};
    weston_compositor_get_time(&now);
    if (verb == "press" || verb == "release") {
        uint32_t key = 0;
        words >> key;
        notify_key(&in.seat, &now, key,
                   verb == "press" ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED,
                   STATE_UPDATE_AUTOMATIC);
    } else if (verb == "move") {
        double x = 0, y = 0;
        words >> x >> y;
        notify_motion_absolute(&in.seat, &now, x, y);
        notify_pointer_frame(&in.seat);
    } else if (verb == "down" || verb == "up") {
        int32_t button = 0;
        words >> button;
        notify_button(&in.seat, &now, button,
                      verb == "down" ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
        notify_pointer_frame(&in.seat);
    } else if (verb == "wheel") {
        int notches = 0;
        words >> notches;
        const int step = notches < 0 ? -1 : 1;
        for (int i = 0; i != notches; i += step) {
            // One notch as a mouse wheel reports it: 10 units, one discrete step.
            weston_pointer_axis_event event{WL_POINTER_AXIS_VERTICAL_SCROLL, 10.0 * step, true, step};
            notify_axis(&in.seat, &now, &event);
            notify_pointer_frame(&in.seat);
        }
    } else if (verb == "focus") {
        Reply(in, FocusReport(in));
    } else if (verb == "sync") {
        std::string word;
        words >> word;
        Reply(in, "sync " + word);
    } else if (!verb.empty()) {
        Reply(in, "unknown " + line);
    }
}

int Readable(int fd, uint32_t, void* data)
{
    auto& in = *static_cast<Injector*>(data);
    char buffer[512];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) {
        in.pending.append(buffer, size_t(n));
        for (size_t end; (end = in.pending.find('\n')) != std::string::npos;) {
            const std::string line = in.pending.substr(0, end);
            in.pending.erase(0, end + 1);
            Run(in, line);
        }
    }
    return 0;
}

void CompositorDestroyed(wl_listener* listener, void*)
{
    Injector* in = wl_container_of(listener, in, destroy);
    wl_event_source_remove(in->source);
    close(in->fifo);
    weston_seat_release(&in->seat);
    delete in;
}

} // namespace

extern "C" WL_EXPORT int wet_module_init(struct weston_compositor* compositor, int*, char*[])
{
    const char* fifoPath = std::getenv("VELMIA_INPUT_FIFO");
    const char* replyPath = std::getenv("VELMIA_INPUT_REPLY");
    if (!fifoPath || !replyPath) {
        weston_log(
            "velmia-input: VELMIA_INPUT_FIFO and VELMIA_INPUT_REPLY must name the command FIFO and the reply file\n");
        return -1;
    }
    // Opened for writing too, so the FIFO never reports end of file when a
    // writer closes it.
    const int fd = open(fifoPath, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        weston_log("velmia-input: cannot open %s: %s\n", fifoPath, std::strerror(errno));
        return -1;
    }
    auto* in = new Injector;
    in->compositor = compositor;
    in->fifo = fd;
    in->replyPath = replyPath;
    weston_seat_init(&in->seat, compositor, "velmia-test");
    weston_seat_init_pointer(&in->seat);
    weston_seat_init_keyboard(&in->seat, nullptr);
    in->source =
        wl_event_loop_add_fd(wl_display_get_event_loop(compositor->wl_display), fd, WL_EVENT_READABLE, Readable, in);
    in->destroy.notify = CompositorDestroyed;
    weston_compositor_add_destroy_listener_once(compositor, &in->destroy, CompositorDestroyed);
    weston_log("velmia-input: reading commands from %s\n", fifoPath);
    return 0;
}
