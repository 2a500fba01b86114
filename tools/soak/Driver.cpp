// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tools/soak/Driver.h"

#include "platform/qt/UsKeyboard.h"
#include "tests/program/state_snapshot.h"
#include "toolkit/BmpCodec.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace vcl;

namespace velmia::soak {

namespace {

// Set by SIGINT or SIGTERM: the run stops after the current event and still
// prints its summary.
volatile std::sig_atomic_t interrupted = 0;
extern "C" void Interrupt(int)
{
    interrupted = 1;
}

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// The dialog a character command opens, and the part kind of a load.
enum class DialogUse { None, Open, Colour, Save };
struct CharDialog {
    char ch;
    DialogUse use;
    const char* kind; // PartKind key for loads; "costume" or "scenes" for saves
};
constexpr CharDialog kCharDialogs[] = {
    {'~', DialogUse::Open, "hb"},      {'_', DialogUse::Open, "co"},        {'|', DialogUse::Open, "co"},
    {'\\', DialogUse::Open, "co"},     {'^', DialogUse::Open, "scenelist"}, {'=', DialogUse::Open, "ri"},
    {'-', DialogUse::Open, "ri"},      {'9', DialogUse::Open, "fl"},        {')', DialogUse::Open, "fl"},
    {'8', DialogUse::Open, "ch"},      {'(', DialogUse::Open, "ch"},        {'7', DialogUse::Open, "ca"},
    {'\'', DialogUse::Open, "ca"},     {'0', DialogUse::Open, "hb"},        {'1', DialogUse::Colour, nullptr},
    {'2', DialogUse::Colour, nullptr}, {'"', DialogUse::Colour, nullptr},   {'s', DialogUse::Save, "costume"},
    {'d', DialogUse::Save, "scenes"},
};

const CharDialog* DialogOf(int ch)
{
    for (const CharDialog& d : kCharDialogs)
        if (d.ch == ch)
            return &d;
    return nullptr;
}

const PartKind& KindByKey(const std::string& key)
{
    for (const PartKind& k : PartKinds())
        if (key == k.key)
            return k;
    return PartKinds().front();
}

// Keys that make no character, as the driver presses them.
constexpr uint16_t kNamedKeys[] = {VK_F1,    VK_F2,     VK_F3,    VK_F4,     VK_F5,  VK_F6,     VK_F7,    VK_F8,
                                   VK_PAUSE, VK_INSERT, VK_PRIOR, VK_NEXT,   VK_UP,  VK_DOWN,   VK_LEFT,  VK_RIGHT,
                                   VK_HOME,  VK_END,    VK_BACK,  VK_DELETE, VK_TAB, VK_RETURN, VK_ESCAPE};

// The characters the driver types: printable ASCII, Backspace, Tab, Enter
// and Escape, chosen by one draw below kCharCodes.
constexpr uint64_t kCharCodes = 95 + 4;
int CharCode(uint64_t r)
{
    return r < 95 ? int(32 + r) : (r == 95 ? 8 : r == 96 ? 9 : r == 97 ? 13 : 27);
}

char CharOfKey(int vk)
{
    switch (vk) {
    case VK_BACK:
        return 8;
    case VK_TAB:
        return 9;
    case VK_RETURN:
        return 13;
    case VK_ESCAPE:
        return 27;
    default:
        return 0;
    }
}

// The part browser's keys and the load key of the same kind (main figure).
struct BrowserKey {
    uint16_t vk;
    const char* kind;
    char loadKey;
};
constexpr BrowserKey kBrowserKeys[] = {{VK_F2, "co", '\\'}, {VK_F3, "ca", '7'}, {VK_F4, "hb", '0'},
                                       {VK_F5, "fl", '9'},  {VK_F6, "ri", '-'}, {VK_F7, "ch", '8'}};

// Toggle commands: pressing the key `presses` times gives back the same
// figure. `stepsBack` says whether the command steps the counters back.
struct Toggle {
    char key;
    int presses;
    bool stepsBack;
    bool left; // a command of the show's left figure
};
constexpr Toggle kToggles[] = {
    {'r', 2, true, false}, {'h', 2, true, false}, {'k', 2, true, false}, {'n', 2, true, false},
    {'a', 2, true, false}, {'c', 2, true, false}, {'t', 3, true, false}, {'v', 5, true, false},
    {'R', 2, false, true}, {'H', 2, false, true}, {'K', 2, false, true}, {'N', 2, true, true},
    {'A', 2, false, true}, {'C', 2, false, true}, {'T', 3, false, true}, {'V', 5, false, true},
};

bool MainPatternShown(const PortraitState& s)
{
    return s.StringPatternIndex == 4 || s.StringPatternOn || s.ThickStringOn || s.WStringOn || s.CrossStringOn;
}

bool LeftPatternShown(const PortraitState& s)
{
    return s.LeftStringPatternIndex == 4 || s.LeftStringPatternOn || s.LeftThickStringOn || s.LeftWStringOn ||
           s.LeftCrossStringOn;
}

bool ToggleApplies(const Toggle& t, const PortraitState& s)
{
    if (t.left != s.ShowMode)
        return false;
    switch (t.key) {
    case 'h':
        return !s.LongHair;
    // Three presses cycle hidden, first and second placement; a flower hidden
    // while the hair was long keeps the second and starts the cycle there.
    case 't':
        return !s.LongHair && (s.FlowerShown || s.FlowerAlt == 0);
    case 'c':
        return !s.LongHair && !s.ShaggyHair && !s.PankHair && !s.OtohimeHair;
    // A costume loaded over the camisole leaves the pattern flags clear; the
    // pattern and camisole keys then bring the pattern back.
    case 'v':
        return !s.CamisoleShown && MainPatternShown(s);
    case 'a':
        return s.CamisoleShown || MainPatternShown(s);
    case 'V':
        return !s.LeftCamisoleShown && LeftPatternShown(s);
    case 'A':
        return s.LeftCamisoleShown || LeftPatternShown(s);
    case 'H':
        return !s.LeftLongHair;
    case 'T':
        return !s.LeftLongHair && (s.LeftFlowerShown || s.LeftFlowerAlt == 0);
    case 'C':
        return !s.LeftLongHair && !s.LeftShaggyHair && !s.LeftPankHair && !s.LeftOtohimeHair;
    default:
        return true;
    }
}

const Toggle* ToggleOf(char key)
{
    for (const Toggle& t : kToggles)
        if (t.key == key)
            return &t;
    return nullptr;
}

constexpr Variant kLoadVariants[] = {Variant::Smaller, Variant::Larger, Variant::Paletted};
constexpr char kMainLoads[] = {'\\', '7', '0', '-', '9', '8'};
constexpr char kLeftLoads[] = {'_', '\'', '~', '=', ')', '('};

// "key:variant" arguments of the part checks.
std::string PartArg(char key, Variant v)
{
    return std::to_string(int(key)) + ":" + VariantName(v);
}

bool ParsePartArg(const std::string& arg, int& key, Variant& v)
{
    const size_t colon = arg.find(':');
    if (colon == std::string::npos)
        return false;
    key = std::atoi(arg.substr(0, colon).c_str());
    const std::string name = arg.substr(colon + 1);
    for (int k = 0; k < int(Variant::Count); ++k)
        if (name == VariantName(Variant(k))) {
            v = Variant(k);
            return true;
        }
    return false;
}

void Script(headless::HeadlessHost& host, const Answer& a)
{
    switch (a.kind) {
    case Answer::Kind::None:
        break;
    case Answer::Kind::Cancel:
        host.ScriptCancel();
        break;
    case Answer::Kind::Open:
        host.ScriptOpenDialog(a.path);
        break;
    case Answer::Kind::Save:
        host.ScriptSaveDialog(a.path);
        // The forms of one run save into the same folder: a file another of
        // them wrote is replaced all the same.
        host.ScriptAnswer(true);
        break;
    case Answer::Kind::Colour:
        host.ScriptColor(TColor(a.colour));
        break;
    }
}

} // namespace

// ---- Session -------------------------------------------------------------------

Session::Session(bool batched)
{
    host = std::make_unique<headless::HeadlessHost>();
    form = host->CreateForm<TSvelmia>();
    baseline = std::make_unique<Baseline>(*form);
    if (batched)
        host->SetTickBatching(true);
}

Session::~Session()
{
    Activate();
    host.reset();
}

void Session::Activate() const
{
    vcl::SetPlatform(host.get());
}

std::vector<Event> RandomKeyEvents(uint64_t seed, size_t count)
{
    std::mt19937_64 rng(seed);
    const auto random = [&rng](uint64_t n) { return n ? rng() % n : 0; };
    const auto chance = [&rng](double p) { return double(rng() >> 11) * 0x1.0p-53 < p; };
    std::vector<Event> keys;
    while (keys.size() < count) {
        Event e;
        // Characters and special keys in the proportions NextInput gives them.
        if (random(66) < 46) {
            e.kind = EventKind::Char;
            e.code = CharCode(random(kCharCodes));
        } else {
            e.kind = EventKind::Key;
            e.code = kNamedKeys[random(sizeof(kNamedKeys) / sizeof(kNamedKeys[0]))];
            e.shift = chance(0.3);
            e.ctrl = chance(0.3);
        }
        keys.push_back(e);
    }
    return keys;
}

char CharacterOfKey(int vk)
{
    return CharOfKey(vk);
}

// ---- Driver --------------------------------------------------------------------

Driver::Driver(Options options) : options_(std::move(options)), rng_(options_.seed)
{
    if (options_.outDir.empty())
        options_.outDir = fs::current_path();
    folder_ = std::make_unique<PartFolder>(options_.artwork);
    previousDir_ = fs::current_path();
    fs::current_path(folder_->Path());
    if (options_.batchedTwin)
        batched_ = std::make_unique<Session>(true);
    if (options_.burstTwin)
        burst_ = std::make_unique<Session>();
    main_ = std::make_unique<Session>();
    lastView_ = ViewName(*main_);
    views_[lastView_] += 0;
}

Driver::~Driver()
{
    burst_.reset();
    batched_.reset();
    main_.reset();
    fs::current_path(previousDir_);
}

bool Driver::Idle(const Session& s) const
{
    const PortraitState& st = s.form->State();
    return !st.Busy && !st.BrowserOpen && !st.CloseUpMode && !st.GrayMode && !st.QuadMode && !st.QuitRequested &&
           st.ShutCountdown == 0 && s.form->Timer1->GetEnabled() && !s.form->logo->GetVisible();
}

std::string Driver::ViewName(const Session& s) const
{
    if (!s.Alive())
        return "closed";
    const PortraitState& st = s.form->State();
    if (st.BrowserOpen)
        return "browser";
    if (st.CloseUpMode)
        return st.CloseUpHalfShown ? "close-up unmagnified" : "close-up";
    if (st.ShowMode)
        return "show";
    if (st.GrayMode)
        return "gray";
    if (st.PortraitMode)
        return st.QuadMode ? "portrait+four-figure" : (st.MainSwapped ? "portrait (left figure)" : "portrait");
    if (st.QuadMode)
        return "four-figure";
    return "none";
}

void Driver::TrackView()
{
    const std::string now = ViewName(*main_);
    views_[now] += 1;
    if (now != lastView_)
        transitions_[lastView_ + " -> " + now] += 1;
    lastView_ = now;
}

Answer Driver::AnswerFor(int ch)
{
    const CharDialog* d = DialogOf(ch);
    if (!d)
        return {};
    if (Chance(0.15))
        return {Answer::Kind::Cancel, {}, 0};
    switch (d->use) {
    case DialogUse::Open: {
        const PartKind& kind = Chance(0.85) ? KindByKey(d->kind) : PartKinds()[Random(PartKinds().size())];
        return {Answer::Kind::Open, PartFolder::VariantFile(kind, Variant(Random(size_t(Variant::Count)))), 0};
    }
    case DialogUse::Colour: {
        static constexpr uint32_t kColours[] = {0xFFFFFF, 0x000000, 0x0000FF, 0xFEFFFF};
        const uint32_t c = Chance(0.5) ? kColours[Random(4)] : uint32_t(rng_() & 0xFFFFFF);
        return {Answer::Kind::Colour, {}, c};
    }
    case DialogUse::Save: {
        const auto good = PartFolder::WritableSaves();
        const auto bad = PartFolder::UnwritableSaves();
        const std::string path = Chance(0.7) ? good[Random(good.size())] : bad[Random(bad.size())];
        return {Answer::Kind::Save, path, 0};
    }
    case DialogUse::None:
        break;
    }
    return {};
}

Event Driver::NextInput()
{
    const PortraitState& s = main_->form->State();
    Event e;
    // An old form is asked to quit; Escape also closes the browser and the
    // close-up on the way.
    if (ticks_ - formStartTick_ > options_.formTicks) {
        e.kind = EventKind::Char;
        e.code = 27;
        return e;
    }
    if (s.BrowserOpen && Chance(0.5)) {
        e.kind = EventKind::Pick;
        e.x = int(Random(uint64_t(s.BrowserCount) + 2));
        e.shift = Chance(0.3);
        return e;
    }
    const bool escapeCloses = s.BrowserOpen || s.CloseUpMode || main_->form->logo->GetVisible();
    const uint64_t roll = Random(100);
    if (roll < 46) {
        e.kind = EventKind::Char;
        for (;;) {
            e.code = CharCode(Random(kCharCodes));
            if (e.code == 27 && !escapeCloses && !Chance(0.03))
                continue;
            break;
        }
        e.answer = AnswerFor(e.code);
    } else if (roll < 66) {
        e.kind = EventKind::Key;
        e.code = kNamedKeys[Random(sizeof(kNamedKeys) / sizeof(kNamedKeys[0]))];
        if (e.code == VK_ESCAPE && !escapeCloses && !Chance(0.03))
            e.code = VK_F8;
        e.shift = Chance(0.3);
        e.ctrl = Chance(0.3);
    } else if (roll < 90) {
        const uint64_t m = Random(100);
        e.kind = m < 30   ? EventKind::Click
                 : m < 65 ? EventKind::DblClick
                 : m < 90 ? EventKind::RightPress
                          : EventKind::MiddlePress;
        // A second right press within two ticks quits; keep those rare.
        if (e.kind == EventKind::RightPress && ticks_ - lastRightPressTick_ < 2 && !Chance(0.05))
            e.kind = EventKind::Click;
        e.x = int(Random(800));
        e.y = Chance(0.3) ? int(465 + Random(60)) : int(Random(600));
        e.shift = Chance(0.3);
    } else {
        e.kind = Chance(0.5) ? EventKind::WheelUp : EventKind::WheelDown;
    }
    return e;
}

// Whether a paired check can run on the form as it is (it needs a form that
// takes input, and some checks a particular view or figure).
bool Driver::CheckApplies(const Session& session, const Event& e) const
{
    if (!session.Alive() || !Idle(session))
        return false;
    const PortraitState& s = session.form->State();
    if (!s.PortraitMode && !s.ShowMode)
        return false;
    if (e.name == "toggle") {
        const Toggle* t = ToggleOf(char(std::atoi(e.arg.c_str())));
        return t && ToggleApplies(*t, s);
    }
    if (e.name == "show-pan")
        return !s.ShowMode && s.ShowOrigin == ShowStage::LeftForPortrait && !s.MainSwapped && s.PanX <= 400;
    if (e.name == "browser-pick")
        return !s.ShowMode && !s.LongHair;
    if (e.name == "save-load")
        return !s.ShowMode && (e.arg != "costume" || !s.CamisoleShown);
    return e.name == "part-size";
}

std::optional<Event> Driver::NextCheck()
{
    const PortraitState& s = main_->form->State();
    if (!Idle(*main_) || (!s.PortraitMode && !s.ShowMode))
        return std::nullopt;
    Event e;
    e.kind = EventKind::Check;
    const uint64_t which = Random(5);
    if (which == 0) {
        std::vector<const Toggle*> fit;
        for (const Toggle& t : kToggles)
            if (ToggleApplies(t, s))
                fit.push_back(&t);
        if (fit.empty())
            return std::nullopt;
        e.name = "toggle";
        e.arg = std::to_string(int(fit[Random(fit.size())]->key));
    } else if (which == 1) {
        if (s.ShowMode || s.ShowOrigin != ShowStage::LeftForPortrait || s.MainSwapped || s.PanX > 400)
            return std::nullopt;
        e.name = "show-pan";
        e.arg = std::to_string(1 + Random(5));
    } else if (which == 2) {
        const char* keys = s.ShowMode && Chance(0.5) ? kLeftLoads : kMainLoads;
        e.name = "part-size";
        e.arg = PartArg(keys[Random(6)], kLoadVariants[Random(3)]);
    } else if (which == 3) {
        if (s.ShowMode || s.LongHair)
            return std::nullopt;
        e.name = "browser-pick";
        const BrowserKey& b = kBrowserKeys[Random(6)];
        e.arg = std::to_string(b.vk) + ":" + VariantName(Variant(Random(size_t(Variant::Unreadable))));
    } else {
        if (s.ShowMode)
            return std::nullopt;
        const bool costume = Chance(0.5);
        if (costume && s.CamisoleShown)
            return std::nullopt;
        e.name = "save-load";
        e.arg = costume ? "costume" : "scenes";
    }
    if (options_.skipped.count(e.name) || !CheckApplies(*main_, e))
        return std::nullopt;
    return e;
}

// ---- Delivering ------------------------------------------------------------------

constexpr uint64_t kTickMs = 100;

void Driver::Tick(Session& s, int n)
{
    s.Activate();
    if (s.host->TickBatching()) {
        s.host->PassTime(uint64_t(n) * kTickMs);
        return;
    }
    for (int i = 0; i < n && s.Alive(); ++i)
        s.host->FireTimer(s.form->Timer1, 1);
}

// What a key command does to ask for the same figure again (as new input,
// after a redraw asked for before it).
void Driver::RedrawRequest(Session& s)
{
    s.form->SettleAskedRedraw();
    s.form->StepBackCounters();
    s.form->RequestRedraw();
    s.form->MutableState().RoundCounter = 0;
}

void Driver::ApplyInput(Session& s, const Event& e)
{
    headless::HeadlessHost& host = *s.host;
    Script(host, e.answer);
    auto hold = [&](bool down) {
        if (e.shift)
            host.SetShift(down);
        if (e.ctrl)
            host.SetCtrl(down);
    };
    hold(true);
    // A form asleep in a batch of ticks wakes for any input first (the host
    // does it too; the driver reads the state before it delivers a pick).
    if (e.kind != EventKind::Tick1)
        host.CatchUp();
    // What the handlers report goes to the message boxes the host records;
    // the toolkit's copy on standard error would drown the driver's output.
    struct Mute {
        std::streambuf* saved = std::cerr.rdbuf(nullptr);
        ~Mute() { std::cerr.rdbuf(saved); }
    } mute;
    try {
        switch (e.kind) {
        case EventKind::Tick1:
            if (host.TickBatching())
                host.PassTime(kTickMs);
            else
                host.FireTimer(s.form->Timer1, 1);
            break;
        case EventKind::Tick2:
            host.FireTimer(s.form->Timer2, 1);
            break;
        case EventKind::Char:
            host.TypeChar(char(e.code));
            break;
        case EventKind::Key:
            host.PressKey(uint16_t(e.code), CharOfKey(e.code));
            break;
        case EventKind::Click:
            host.Click(e.x, e.y);
            break;
        case EventKind::DblClick:
            host.DoubleClick(e.x, e.y);
            break;
        case EventKind::RightPress:
            host.RightPress(e.x, e.y);
            break;
        case EventKind::MiddlePress:
            host.MiddlePress(e.x, e.y);
            break;
        case EventKind::WheelUp:
        case EventKind::WheelDown:
            host.SetCursorToClient(400, 300);
            host.Wheel(e.kind == EventKind::WheelUp);
            break;
        case EventKind::Pick: {
            // Cell x of the whole list: turn to its page as the user would,
            // then double-click the cell's middle there.
            const PortraitState& st = s.form->State();
            const int tw = std::max(1, int(st.ThumbWidth)), th = std::max(1, int(st.ThumbHeight));
            const int perRow = (760 - tw) / (tw + 10) + 1;
            const int perPage = s.form->BrowserPageSize();
            const int page = std::min(e.x / perPage, s.form->BrowserPageCount() - 1);
            for (int turns = 0; st.BrowserOpen && st.BrowserPage != page && turns < 1000; ++turns)
                host.PressKey(st.BrowserPage < page ? VK_NEXT : VK_PRIOR);
            const int slot = e.x - page * perPage;
            const int x = s.form->DispTargetsScreen->GetLeft() + (slot % perRow) * (tw + 10) + tw / 2;
            const int y = s.form->DispTargetsScreen->GetTop() + (slot / perRow) * (th + 10) + th / 2;
            host.DoubleClick(x, y);
            break;
        }
        case EventKind::Check:
        case EventKind::Count:
            break;
        }
    } catch (const std::exception& ex) {
        // The real message loop reports what a handler throws and goes on.
        host.MessageBox("Error", ex.what());
    }
    reportedErrors_ += long(host.MessageBoxes().size());
    hold(false);
    host.DropAnswers();
    host.ClearRecords();
    host.ClearInvalidated();
}

void Driver::ApplyCheckMainSide(Session& s, const Event& e)
{
    auto typed = [&](char c, Answer a = {}) {
        Event k;
        k.kind = EventKind::Char;
        k.code = c;
        k.answer = std::move(a);
        ApplyInput(s, k);
    };
    auto key = [&](uint16_t vk) {
        Event k;
        k.kind = EventKind::Key;
        k.code = vk;
        ApplyInput(s, k);
    };
    if (e.name == "toggle") {
        const Toggle* t = ToggleOf(char(std::atoi(e.arg.c_str())));
        for (int i = 0; t && i < t->presses; ++i) {
            typed(t->key);
            Tick(s, 1);
        }
    } else if (e.name == "show-pan") {
        for (int i = 0, n = std::atoi(e.arg.c_str()); i < n; ++i)
            key(VK_RIGHT);
        typed('w');
        Tick(s, 3);
    } else if (e.name == "part-size") {
        int k = 0;
        Variant v = Variant::Default;
        if (ParsePartArg(e.arg, k, v)) {
            const CharDialog* d = DialogOf(k);
            typed(char(k), {Answer::Kind::Open, PartFolder::VariantFile(KindByKey(d->kind), v), 0});
        }
        Tick(s, 2);
    } else if (e.name == "browser-pick") {
        int vk = 0;
        Variant v = Variant::Default;
        if (ParsePartArg(e.arg, vk, v)) {
            key(uint16_t(vk));
            for (const BrowserKey& b : kBrowserKeys) {
                if (b.vk != vk)
                    continue;
                const std::string wanted = PartFolder::VariantFile(KindByKey(b.kind), v);
                std::string name;
                for (int i = 0; s.form->State().BrowserOpen && s.form->NameAt(i, name); ++i)
                    if (name == wanted) {
                        Event pick;
                        pick.kind = EventKind::Pick;
                        pick.x = i;
                        ApplyInput(s, pick);
                        break;
                    }
            }
            if (s.form->State().BrowserOpen)
                typed(27); // the file was not listed: leave as the user would
        }
        Tick(s, 2);
    } else if (e.name == "save-load") {
        const bool costume = e.arg == "costume";
        const std::string path = costume ? "saves/round-trip-costume.bmp" : "saves/round-trip-scenes.bmp";
        typed(costume ? 's' : 'd', {Answer::Kind::Save, path, 0});
        typed(costume ? '\\' : '^', {Answer::Kind::Open, path, 0});
        Tick(s, 2);
    }
}

void Driver::ApplyCheckReferenceSide(Session& s, const Event& e)
{
    auto typed = [&](char c, Answer a = {}) {
        Event k;
        k.kind = EventKind::Char;
        k.code = c;
        k.answer = std::move(a);
        ApplyInput(s, k);
    };
    if (e.name == "toggle") {
        const Toggle* t = ToggleOf(char(std::atoi(e.arg.c_str())));
        for (int i = 0; t && i < t->presses; ++i) {
            s.form->SettleAskedRedraw();
            if (t->stepsBack)
                s.form->StepBackCounters();
            s.form->RequestRedraw();
            s.form->MutableState().RoundCounter = 0;
            Tick(s, 1);
        }
    } else if (e.name == "show-pan") {
        // The same number of redraw requests, with the pan at rest.
        for (int i = 0, n = std::atoi(e.arg.c_str()); i < n; ++i) {
            Event k;
            k.kind = EventKind::Key;
            k.code = VK_BACK;
            ApplyInput(s, k);
        }
        typed('w');
        Tick(s, 3);
    } else if (e.name == "part-size") {
        int k = 0;
        Variant v = Variant::Default;
        if (ParsePartArg(e.arg, k, v)) {
            const CharDialog* d = DialogOf(k);
            typed(char(k), {Answer::Kind::Open, PartFolder::ReferenceFile(KindByKey(d->kind), v), 0});
        }
        Tick(s, 2);
    } else if (e.name == "browser-pick") {
        int vk = 0;
        Variant v = Variant::Default;
        if (ParsePartArg(e.arg, vk, v))
            for (const BrowserKey& b : kBrowserKeys)
                if (b.vk == vk)
                    typed(b.loadKey, {Answer::Kind::Open, PartFolder::VariantFile(KindByKey(b.kind), v), 0});
        Tick(s, 2);
    } else if (e.name == "save-load") {
        RedrawRequest(s);
        Tick(s, 2);
    }
}

std::unique_ptr<Session> Driver::Rebuild()
{
    auto twin = std::make_unique<Session>();
    // Everything before the check that is running now.
    for (size_t i = 0; i + 1 < log_.size(); ++i) {
        const Event& past = log_[i];
        if (!twin->Alive())
            break;
        if (past.kind == EventKind::Check) {
            if (CheckApplies(*twin, past))
                ApplyCheckMainSide(*twin, past);
        } else
            ApplyInput(*twin, past);
    }
    return twin;
}

void Driver::RunCheck(const Event& e)
{
    if (!CheckApplies(*main_, e))
        return; // a replay that lost the events that led here
    checksRun_[e.name] += 1;
    std::unique_ptr<Session> twin = Rebuild();
    twin->Activate();
    bool same = true;
    if (!options_.skipped.count("twin"))
        same = Compare(*main_, *twin, "twin", e);
    if (same) {
        main_->Activate();
        ApplyCheckMainSide(*main_, e);
        twin->Activate();
        ApplyCheckReferenceSide(*twin, e);
        Compare(*main_, *twin, e.name, e);
    }
    twin.reset();
    main_->Activate();
}

bool Driver::Compare(Session& a, Session& b, const std::string& name, const Event& e)
{
    if (!a.Alive() || !b.Alive()) {
        if (a.Alive() != b.Alive()) {
            Fail(name, "one form closed and the other did not (" + FormatEvent(e) + ")");
            return false;
        }
        return true;
    }
    a.Activate();
    const TBitmap& pa = a.host->WindowPicture();
    b.Activate();
    const TBitmap& pb = b.host->WindowPicture();
    if (pa.GetWidth() != pb.GetWidth() || pa.GetHeight() != pb.GetHeight()) {
        Fail(name, "the windows differ in size");
        return false;
    }
    long differing = 0;
    int left = pa.GetWidth(), top = pa.GetHeight(), right = -1, bottom = -1;
    for (int y = 0; y < pa.GetHeight(); ++y) {
        const uint8_t* ra = pa.ScanLine(y);
        const uint8_t* rb = pb.ScanLine(y);
        if (std::memcmp(ra, rb, pa.RowBytes()) == 0)
            continue;
        for (int x = 0; x < pa.GetWidth(); ++x)
            if (pa.GetPixelColor(x, y) != pb.GetPixelColor(x, y)) {
                ++differing;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    a.Activate();
    if (differing == 0)
        return true;
    std::ostringstream detail;
    detail << FormatEvent(e) << ": " << differing << " pixels differ inside (" << left << "," << top << ")-("
           << right + 1 << "," << bottom + 1 << ")";
    const fs::path stem = options_.outDir / ("soak-" + std::to_string(options_.seed) + "-" + std::to_string(step_));
    try {
        if (options_.quiet)
            throw std::runtime_error("no pictures while shrinking");
        WriteBmpFile(stem.string() + "-" + name + "-driven.bmp", pa);
        WriteBmpFile(stem.string() + "-" + name + "-reference.bmp", pb);
    } catch (const std::exception&) {
    }
    Fail(name, detail.str());
    return false;
}

void Driver::CompareSchedules(const Event& e)
{
    Session& a = *main_;
    Session& b = *batched_;
    if (!Compare(a, b, "batched-ticks", e))
        return;
    if (!a.Alive() || !b.Alive())
        return;
    b.Activate();
    const int owed = b.host->TicksOwed(b.form->Timer1);
    // Every picture's pixels now and then; the state's values every time.
    const bool pictures = step_ % 16 == 0;
    test::Snapshot sb = test::TakeSnapshot(*b.form, pictures);
    a.Activate();
    test::Snapshot sa = test::TakeSnapshot(*a.form, pictures);
    // The ticks the batched form sleeps through only count: move its
    // counters on by them and everything else must be the same already.
    if (owed > 0) {
        const PortraitState& st = b.form->State();
        sb["TickCount"] = std::to_string(st.TickCount + owed);
        const bool held = st.CloseUpMode && st.CloseUpHalfShown; // the tick only counts TickCount
        const bool counts = st.CloseUpMode || st.ShowMode || st.GrayMode || st.PortraitMode || st.QuadMode;
        if (!held && counts) {
            const int cycle = st.CloseUpMode ? 301 : layout::kCycleLength;
            const int last = (st.CycleCounter + owed - 1) % cycle; // the counter of the last tick
            sb["CycleCounter"] = std::to_string((last + 1) % cycle);
            if (!st.CloseUpMode && (st.ShowMode || st.GrayMode || st.PortraitMode))
                sb["BodyPhase"] = std::to_string(last % (st.ShowMode ? 40 : 30));
            if (st.StarTwinkleActive && st.PortraitMode && !st.ShowMode && !st.GrayMode && !st.CloseUpMode)
                sb["TwinkleDelay"] = std::to_string(st.TwinkleDelay - owed);
        }
    }
    const std::vector<std::string> diff = test::Differences(sa, sb);
    if (diff.empty())
        return;
    std::ostringstream detail;
    detail << FormatEvent(e) << ": with " << owed << " ticks asleep the batched form differs in";
    for (size_t i = 0; i < diff.size() && i < 8; ++i)
        detail << (i ? "; " : " ") << diff[i];
    Fail("batched-ticks", detail.str());
}

void Driver::Restart()
{
    ++restarts_;
    burst_.reset();
    batched_.reset();
    main_.reset();
    if (options_.batchedTwin)
        batched_ = std::make_unique<Session>(true);
    if (options_.burstTwin)
        burst_ = std::make_unique<Session>();
    main_ = std::make_unique<Session>();
    log_.clear();
    formStartTick_ = ticks_;
}

void Driver::Deliver(const Event& e)
{
    ++step_;
    kindCounts_[KindName(e.kind)] += 1;
    if (e.kind == EventKind::Check)
        kindCounts_["check " + e.name] += 1;
    if (e.kind == EventKind::RightPress)
        lastRightPressTick_ = ticks_;
    recent_.push_back({step_, FormatEvent(e)});
    if (recent_.size() > 50)
        recent_.pop_front();

    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    main_->Activate();
    log_.push_back(e);
    const bool checkApplies = e.kind == EventKind::Check && CheckApplies(*main_, e);
    if (e.kind == EventKind::Check)
        RunCheck(e);
    else
        ApplyInput(*main_, e);
    if (batched_ && batched_->Alive()) {
        batched_->Activate();
        if (e.kind != EventKind::Check)
            ApplyInput(*batched_, e);
        else if (checkApplies)
            ApplyCheckMainSide(*batched_, e);
        CompareSchedules(e);
        main_->Activate();
    }
    AfterEvent(e, double(std::clock() - cpuStart) / CLOCKS_PER_SEC, Seconds(start));
    // After a failure the run goes on with a fresh form.
    if (restartPending_) {
        restartPending_ = false;
        Restart();
    }
}

// A step that works longer than the limit is a hang, and so is one that
// waits (for a file that never answers, say) fifteen times as long. Working
// time is the process's processor time, so that a busy machine does not
// count against the program.
void Driver::AfterEvent(const Event& e, double cpuSeconds, double wallSeconds)
{
    const double limit = options_.stepLimitSeconds;
    if ((cpuSeconds > limit || wallSeconds > 15 * limit) && e.kind != EventKind::Check &&
        !options_.skipped.count("hang")) {
        std::ostringstream detail;
        detail << FormatEvent(e) << " took " << cpuSeconds << " s of processor time, " << wallSeconds << " s in all";
        Fail("hang", detail.str());
    }
    if (!main_->Alive()) {
        TrackView();
        if (!replaying_)
            Restart();
        return;
    }
    const TBitmap& window = main_->host->WindowPicture();
    const Probe probe{*main_->form, *main_->baseline, window};
    for (const auto& [name, detail] : CheckInvariants(probe))
        if (!options_.skipped.count(name))
            Fail(name, detail);
    TrackView();
}

void Driver::Fail(const std::string& name, const std::string& detail)
{
    if (failed_ && replaying_)
        return;
    const bool first = failures_[name]++ == 0;
    failed_ = true;
    restartPending_ = options_.keepGoing && !replaying_;
    if (!first && options_.keepGoing)
        return;
    if (options_.quiet) {
        stop_ = stop_ || !options_.keepGoing;
        return;
    }
    std::ostringstream replayName;
    replayName << "soak-" << options_.seed << "-" << step_ << ".replay";
    const fs::path replay = options_.outDir / replayName.str();
    std::cerr << "FAILED: " << name << ": " << detail << "\n";
    std::cerr << "seed " << options_.seed << ", step " << step_ << ", tick " << ticks_ << "\n";
    std::cerr << "last " << recent_.size() << " events:\n";
    for (const Logged& l : recent_)
        std::cerr << "  " << l.step << "  " << l.text << "\n";
    if (!replaying_) {
        std::ostringstream header;
        header << "# failure: " << name << ": " << detail << "\n";
        header << "# seed " << options_.seed << ", step " << step_ << "; the events since the form started:\n";
        try {
            WriteReplay(replay, log_, header.str());
            std::cerr << "replay written to " << replay.string() << "\n";
        } catch (const std::exception& ex) {
            std::cerr << "velmia-soak: " << ex.what() << "\n";
        }
    }
    if (!options_.keepGoing)
        stop_ = true;
}

// ---- Runs ------------------------------------------------------------------------

int Driver::Run()
{
    if (options_.burstTwin)
        return RunBursts();
    const auto start = Clock::now();
    std::signal(SIGINT, Interrupt);
    std::signal(SIGTERM, Interrupt);
    double credit = 0.0;
    for (ticks_ = 0; ticks_ < options_.ticks && !stop_ && !interrupted; ++ticks_) {
        credit += options_.eventsPerTick;
        while (credit >= 1.0 && !stop_) {
            credit -= 1.0;
            Deliver(NextInput());
        }
        if (stop_)
            break;
        if (options_.checkEvery > 0 && Random(uint64_t(options_.checkEvery)) == 0)
            if (std::optional<Event> check = NextCheck()) {
                Deliver(*check);
                if (stop_)
                    break;
            }
        if (ticks_ > 0 && ticks_ % 10000 == 0 && !options_.quiet) {
            long failures = 0;
            for (const auto& [name, n] : failures_)
                failures += n;
            std::cout << "progress: tick " << ticks_ << ", step " << step_ << ", " << Seconds(start) << " s, "
                      << failures << " failures" << std::endl;
        }
        Event tick;
        tick.kind = EventKind::Tick1;
        Deliver(tick);
        if (ticks_ % 2 == 1 && !stop_) {
            tick.kind = EventKind::Tick2;
            Deliver(tick);
        }
    }
    if (!options_.quiet)
        PrintSummary(Seconds(start));
    return failed_ ? 1 : 0;
}

// ---- The burst twin ----------------------------------------------------------------

namespace {

// Whether an input asked for a redraw or changed the view: the tick after it
// draws or starts the view's cycle, and later ticks only count on.
struct CycleMark {
    int cycle;
    uint8_t views;
    explicit CycleMark(const PortraitState& s)
        : cycle(s.CycleCounter),
          views(uint8_t(s.PortraitMode | s.ShowMode << 1 | s.GrayMode << 2 | s.QuadMode << 3 | s.CloseUpMode << 4))
    {
    }
    friend bool operator==(const CycleMark&, const CycleMark&) = default;
};

} // namespace

bool Driver::Burstable(const Event& e) const
{
    switch (e.kind) {
    case EventKind::Char:
    case EventKind::Key:
    case EventKind::Click:
    case EventKind::MiddlePress:
    case EventKind::WheelUp:
    case EventKind::WheelDown:
    case EventKind::Pick:
        return true;
    default:
        return false; // right presses quit when two come within two ticks; a double-click's touch waits for the tick
    }
}

void Driver::TickBoth()
{
    Event tick;
    tick.kind = EventKind::Tick1;
    const long restarts = restarts_;
    Deliver(tick);
    ++ticks_;
    // A form that closed was started afresh, the twin with it.
    if (restarts_ != restarts || !burst_->Alive() || !main_->Alive())
        return;
    burst_->Activate();
    ApplyInput(*burst_, tick);
    main_->Activate();
}

void Driver::DeliverAlone(const Event& e)
{
    const long restarts = restarts_;
    Deliver(e);
    if (restarts_ != restarts)
        return; // both forms start afresh
    burst_->Activate();
    ApplyInput(*burst_, e);
    main_->Activate();
    TickBoth();
    if (restarts_ == restarts)
        CompareBursts(e, false);
}

void Driver::DeliverGroup()
{
    // A form takes no input before its first tick: a burst on a fresh form
    // would lose events that one per tick do not.
    if (main_->form->State().TickCount == 0) {
        TickBoth();
        return;
    }
    const long restarts = restarts_;
    const int size = 2 + int(Random(5));
    std::vector<Event> group;
    int ticksAfter = 0;
    while (int(group.size()) < size && !stop_ && main_->Alive()) {
        Event e = NextInput();
        // The eye swap of the close-up waits four ticks after the last one:
        // with fewer ticks in between it is refused by design.
        if (e.kind == EventKind::Char && (e.code == 'x' || e.code == 'X') && main_->form->State().CloseUpMode)
            e.code = 'z';
        if (!Burstable(e)) {
            if (group.empty()) {
                DeliverAlone(e);
                return;
            }
            // Alone after this group.
            break;
        }
        const CycleMark before(main_->form->State());
        Deliver(e);
        if (restarts_ != restarts || !main_->Alive())
            return;
        const bool restartsCycle = !(CycleMark(main_->form->State()) == before);
        ticksAfter = restartsCycle ? 1 : ticksAfter + 1;
        group.push_back(e);
        Event tick;
        tick.kind = EventKind::Tick1;
        Deliver(tick);
        ++ticks_;
        if (restarts_ != restarts || !restartsCycle)
            break;
    }
    if (restarts_ != restarts || group.empty())
        return;
    ++groups_;
    burstEvents_ += long(group.size());
    burst_->Activate();
    for (const Event& e : group)
        ApplyInput(*burst_, e);
    Event tick;
    tick.kind = EventKind::Tick1;
    for (int i = 0; i < ticksAfter && burst_->Alive(); ++i)
        ApplyInput(*burst_, tick);
    main_->Activate();
    CompareBursts(group.back(), groups_ % 16 == 0);
}

void Driver::CompareBursts(const Event& e, bool pictures)
{
    if (options_.skipped.count("bursts") || !Compare(*main_, *burst_, "bursts", e))
        return;
    if (!main_->Alive() || !burst_->Alive())
        return;
    burst_->Activate();
    test::Snapshot sb = test::TakeSnapshot(*burst_->form, pictures);
    main_->Activate();
    test::Snapshot sa = test::TakeSnapshot(*main_->form, pictures);
    // The burst form ran fewer ticks. The form one event per tick composed
    // more often: the pictures a composition works in may hold what a
    // composition the burst did not need left there (the window shows what
    // they hold that counts).
    for (const char* name :
         {"TickCount", "LastRightClickTick", "LastEyeSwapTick", "UpperBmp", "FrameBmp[0]", "FrameBmp[1]", "FrameBmp[2]",
          "FrameBmp[3]", "FrameBmp[4]", "FrameBmp[5]", "FrameBmp[6]", "SceneKeyMask", "StarCell", "ClosedEyeWork"}) {
        sa.erase(name);
        sb.erase(name);
    }
    // Nor does the night's state count while its effects are off, nor in
    // the show, which runs none of them (a portrait composition that a
    // redraw in the show replaced has not set them up).
    auto idle = [&](const char* flag, const char* value, std::initializer_list<const char*> names) {
        if (sa[flag] == value && sb[flag] == value)
            for (const char* name : names) {
                sa.erase(name);
                sb.erase(name);
            }
    };
    idle("ShowMode", "1",
         {"ShootingStarActive", "StarTwinkleActive", "StarX", "StarY", "SkyColour", "TwinkleDelay", "TwinkleCell"});
    idle("ShootingStarActive", "0", {"StarX", "StarY", "SkyColour"});
    idle("StarTwinkleActive", "0", {"TwinkleDelay", "TwinkleCell"});
    // The left figure's peek counts only in the show, whose first cycle end
    // sets it again; a show composition that a later redraw in another view
    // replaced has not set it.
    idle("ShowMode", "0", {"LeftPeekOpen"});
    const std::vector<std::string> diff = test::Differences(sa, sb);
    if (diff.empty())
        return;
    std::ostringstream detail;
    detail << FormatEvent(e) << ": after a burst the form differs from one given the events one per tick in";
    for (size_t i = 0; i < diff.size() && i < 8; ++i)
        detail << (i ? "; " : " ") << diff[i];
    Fail("bursts", detail.str());
}

int Driver::RunBursts()
{
    const auto start = Clock::now();
    std::signal(SIGINT, Interrupt);
    std::signal(SIGTERM, Interrupt);
    long nextProgress = 10000;
    long timer2Due = 0;
    while (ticks_ < options_.ticks && !stop_ && !interrupted) {
        if (options_.checkEvery > 0 && Random(uint64_t(options_.checkEvery)) == 0)
            if (std::optional<Event> check = NextCheck()) {
                const long restarts = restarts_;
                const bool applies = burst_->Alive() && CheckApplies(*burst_, *check);
                Deliver(*check);
                if (restarts_ == restarts && applies) {
                    burst_->Activate();
                    ApplyCheckMainSide(*burst_, *check);
                    main_->Activate();
                    CompareBursts(*check, true);
                }
            }
        if (!stop_)
            DeliverGroup();
        // Ticks without input, as the events per tick leave them.
        while (!stop_ && ticks_ < options_.ticks && main_->Alive() && Chance(1.0 - options_.eventsPerTick)) {
            const long restarts = restarts_;
            TickBoth();
            if (restarts_ == restarts) {
                Event tick;
                tick.kind = EventKind::Tick1;
                CompareBursts(tick, false);
            }
        }
        // Timer2 at its own pace, the same in both forms.
        while (!stop_ && timer2Due < ticks_ && main_->Alive()) {
            timer2Due += 2;
            Event tick2;
            tick2.kind = EventKind::Tick2;
            const long restarts = restarts_;
            Deliver(tick2);
            if (restarts_ == restarts && burst_->Alive()) {
                burst_->Activate();
                ApplyInput(*burst_, tick2);
                main_->Activate();
            }
        }
        if (ticks_ >= nextProgress && !options_.quiet) {
            nextProgress += 10000;
            long failures = 0;
            for (const auto& [name, n] : failures_)
                failures += n;
            std::cout << "progress: tick " << ticks_ << ", step " << step_ << ", " << Seconds(start) << " s, "
                      << failures << " failures" << std::endl;
        }
    }
    if (!options_.quiet) {
        std::cout << "bursts " << groups_ << " groups of " << burstEvents_ << " events\n";
        PrintSummary(Seconds(start));
    }
    return failed_ ? 1 : 0;
}

std::vector<Event> ReadReplay(const fs::path& file, std::string* failure)
{
    std::ifstream in(file);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    std::vector<Event> events;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.rfind("# failure: ", 0) == 0 && failure) {
            const std::string rest = line.substr(11);
            *failure = rest.substr(0, rest.find(':'));
        }
        if (line.empty() || line[0] == '#')
            continue;
        std::optional<Event> e = ParseEvent(line);
        if (!e)
            throw std::runtime_error(file.string() + ":" + std::to_string(lineNo) + ": not an event: " + line);
        events.push_back(*e);
    }
    return events;
}

void WriteReplay(const fs::path& file, const std::vector<Event>& events, const std::string& header)
{
    std::ofstream out(file);
    out << header;
    for (const Event& e : events)
        out << FormatEvent(e) << "\n";
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::vector<Event> Shrink(const Options& options, std::vector<Event> events, const std::string& failure)
{
    Options quiet = options;
    quiet.quiet = true;
    auto fails = [&](const std::vector<Event>& candidate) {
        Driver d(quiet);
        d.ReplayEvents(candidate);
        return d.Failures().count(failure) != 0;
    };
    size_t chunk = std::max<size_t>(1, events.size() / 2);
    while (chunk >= 1) {
        bool removed = false;
        for (size_t at = 0; at < events.size();) {
            std::vector<Event> candidate(events.begin(), events.begin() + long(at));
            candidate.insert(candidate.end(), events.begin() + long(std::min(events.size(), at + chunk)), events.end());
            if (candidate.size() < events.size() && fails(candidate)) {
                events = std::move(candidate);
                removed = true;
            } else {
                at += chunk;
            }
        }
        if (!removed) {
            if (chunk == 1)
                break;
            chunk /= 2;
        }
    }
    return events;
}

int Driver::Replay(const fs::path& file)
{
    std::vector<Event> events;
    try {
        events = ReadReplay(file);
    } catch (const std::exception& e) {
        std::cerr << "velmia-soak: " << e.what() << "\n";
        return 2;
    }
    const auto start = Clock::now();
    ReplayEvents(events);
    PrintSummary(Seconds(start));
    return failed_ ? 1 : 0;
}

bool Driver::ReplayEvents(const std::vector<Event>& events)
{
    replaying_ = true;
    for (const Event& e : events) {
        if (stop_ || !main_->Alive())
            break;
        if (e.kind == EventKind::Tick1)
            ++ticks_;
        Deliver(e);
    }
    return failed_;
}

uint64_t Driver::Fingerprint()
{
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t v) {
        h ^= v;
        h *= 1099511628211ull;
    };
    for (const auto& [kind, n] : kindCounts_)
        mix(uint64_t(n) + std::hash<std::string>()(kind));
    mix(uint64_t(restarts_));
    main_->Activate();
    if (main_->Alive()) {
        const TBitmap& w = main_->host->WindowPicture();
        for (int y = 0; y < w.GetHeight(); ++y) {
            const uint8_t* row = w.ScanLine(y);
            for (size_t i = 0; i < w.RowBytes(); ++i)
                mix(row[i]);
        }
    }
    return h;
}

void Driver::PrintSummary(double seconds) const
{
    long events = 0;
    for (const auto& [kind, n] : kindCounts_)
        if (kind.rfind("check ", 0) != 0)
            events += n;
    std::cout << "seed " << options_.seed << "\n";
    std::cout << "ticks " << ticks_ << "\n";
    std::cout << "events " << events << "\n";
    std::cout << "restarts " << restarts_ << "\n";
    std::cout << "errors reported by handlers " << reportedErrors_ << "\n";
    std::cout << "seconds " << seconds << " (" << (seconds > 0 ? double(ticks_) / seconds : 0.0)
              << " ticks per second)\n";
    std::cout << "events by kind:\n";
    for (const auto& [kind, n] : kindCounts_)
        std::cout << "  " << kind << " " << n << "\n";
    std::cout << "views visited (events ending there):\n";
    for (const auto& [view, n] : views_)
        std::cout << "  " << view << " " << n << "\n";
    std::cout << "view transitions:\n";
    for (const auto& [t, n] : transitions_)
        std::cout << "  " << t << " " << n << "\n";
    std::cout << "paired checks:\n";
    for (const auto& [c, n] : checksRun_)
        std::cout << "  " << c << " " << n << "\n";
    if (failures_.empty()) {
        std::cout << "result: no failures\n";
    } else {
        std::cout << "failures:\n";
        for (const auto& [f, n] : failures_)
            std::cout << "  " << f << " " << n << "\n";
        std::cout << "result: FAILED\n";
    }
}

} // namespace velmia::soak
