// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Image controls, timers, dialogs, the screen, the application and the form.
#pragma once

#include "toolkit/Graphics.h"
#include "toolkit/Platform.h"
#include "toolkit/Types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vcl {

class TForm;

using TNotifyEvent = std::function<void(TObject* sender)>;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;

// An image control: a named picture with a place on the form. Its bitmap is
// created at the control's size on first use when the picture is empty; a
// loaded picture keeps the file's size. Visible controls are shown at
// Left/Top, clipped to Width x Height (centred when Center is set).
class TImage : public TObject {
public:
    TImage(TForm* owner, std::string name, int left = 0, int top = 0, int width = 105, int height = 105);
    ~TImage() override;

    const std::string& GetName() const { return name_; }

    int GetLeft() const { return left_; }
    int GetTop() const { return top_; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    void SetLeft(int v);
    void SetTop(int v);
    void SetWidth(int v);
    void SetHeight(int v);
    void SetBounds(int left, int top, int width, int height);

    bool GetVisible() const { return visible_; }
    void SetVisible(bool v);
    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    void SetCenter(bool v);

    TPicture* GetPicture();
    // The picture's bitmap, created at the control's size when the picture is empty.
    TBitmap* GetBitmap();
    TCanvas* GetCanvas() { return GetBitmap()->GetCanvas(); }

    // Where the picture's pixel (0,0) lands in form coordinates (Center applied).
    TPoint PictureOrigin() const;
    // Left, Top, Left + Width, Top + Height (clamped to the int32 range).
    TRect BoundsRect() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    bool HasMouseHandlers() const { return OnClick || OnDblClick || OnMouseDown; }

private:
    // Tells the form that the shown area changed; `oldRect` is the area before.
    void GeometryChanged(const TRect& oldRect);

    TForm* owner_;
    std::string name_;
    int left_, top_, width_, height_;
    bool visible_ = false;
    bool enabled_ = false;
    bool center_ = false;
    TPicture picture_;
    // What the form composed last: the bitmap object and its size.
    const TBitmap* shownBitmap_ = nullptr;
    int32_t shownWidth_ = -1;
    int32_t shownHeight_ = -1;
    friend class TForm;
};

class TTimer : public TObject {
public:
    explicit TTimer(std::string name = {}, unsigned interval = 1000);
    ~TTimer() override;

    bool GetEnabled() const { return enabled_; }
    // Enabling (or setting Enabled again) restarts the interval, unless the
    // timer keeps its rhythm (KeepsRhythm).
    void SetEnabled(bool v);
    unsigned GetInterval() const { return interval_; }
    void SetInterval(unsigned ms);
    const std::string& GetName() const { return name_; }

    TNotifyEvent OnTimer;
    // Called by the platform when the interval elapses; does nothing when disabled.
    void Fire();

    // Optional. Answers, from the state as it is now, how many of the coming
    // ticks may run before one of them changes anything but counters the
    // ticks themselves advance: n means the next n - 1 ticks only count and
    // the n-th may draw (1: any tick may). A platform may then sleep n
    // intervals and run the n ticks in a row, after first running the ticks
    // whose time has passed before any other event, so that every event and
    // every pixel sees the state the plain timer gives. Must not change
    // anything; answering too little is always safe, too much never is.
    std::function<int()> TicksUntilChange;

    // Off: enabling restarts the interval. On: disabling the timer and
    // enabling it again while one event is handled (a handler holding it
    // while it works, a dialog included) never delays a tick. A tick not yet
    // due keeps its time; one that fell due during the hold comes at once
    // (one tick, however long the hold), and the next interval starts from
    // it. A timer left disabled past the event, and the first enabling,
    // start the interval afresh, as a plain timer's do.
    bool KeepsRhythm = false;

private:
    std::string name_;
    unsigned interval_;
    bool enabled_ = false;
};

class TOpenDialog : public TObject {
public:
    explicit TOpenDialog(TDialogKind kind = TDialogKind::Open) : kind_(kind) {}
    std::string GetFileName() const { return FileName; }
    void SetFileName(const std::string& f) { FileName = f; }
    bool Execute();

    std::string FileName;
    std::string Filter;
    std::string DefaultExt;
    std::string InitialDir;
    std::string Title;

private:
    TDialogKind kind_;
};

class TOpenPictureDialog : public TOpenDialog {
public:
    TOpenPictureDialog() : TOpenDialog(TDialogKind::Open) {}
};

class TSavePictureDialog : public TOpenDialog {
public:
    TSavePictureDialog() : TOpenDialog(TDialogKind::Save) {}
};

class TColorDialog : public TObject {
public:
    TColor GetColor() const { return Color; }
    bool Execute();
    TColor Color = clBlack;
};

// The screen: its size and the pointer shape (-1 hides it, 0 is the default).
class TScreen {
public:
    int GetWidth() const;
    int GetHeight() const;
    int GetCursor() const { return cursor_; }
    void SetCursor(int c);

private:
    int cursor_ = 0;
};
extern TScreen* Screen;

enum class TBorderStyle { bsNone, bsSingle, bsSizeable };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

// The form: owns its image controls (in declaration order, later ones on top),
// composes the visible ones into the 800 x 600 window picture and records
// which rectangles of it changed.
class TForm : public TObject {
public:
    TForm();
    ~TForm() override;

    // Creates an image control owned by the form, after all earlier ones.
    TImage* NewImage(const std::string& name, int left, int top, int width, int height);
    TImage* FindImage(const std::string& name) const;

    int GetLeft() const { return left_; }
    int GetTop() const { return top_; }
    void SetLeft(int v);
    void SetTop(int v);
    int GetClientWidth() const { return clientWidth_; }
    int GetClientHeight() const { return clientHeight_; }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle b);
    TWindowState GetWindowState() const { return windowState_; }
    void SetWindowState(TWindowState s);
    const std::string& GetCaption() const { return caption_; }
    void SetCaption(const std::string& c);
    bool GetVisible() const { return visible_; }
    void SetVisible(bool v);
    TColor Color = clWindow;

    // Asks the platform to close the window; the platform then calls DoClose.
    // Does nothing when no platform is installed.
    void Close();

    // Event handlers, bound by the program's form.
    TNotifyEvent OnCreate;
    std::function<void(TObject*, TCloseAction&)> OnClose;
    std::function<void(TObject*, uint16_t& key, TShiftState)> OnKeyDown;
    std::function<void(TObject*, char& key)> OnKeyPress;
    TMouseEvent OnMouseDown;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    std::function<void(TObject*, TShiftState, TPoint mousePos, bool& handled)> OnMouseWheelUp;
    std::function<void(TObject*, TShiftState, TPoint mousePos, bool& handled)> OnMouseWheelDown;

    // Entry points for the platform. Mouse positions are client coordinates;
    // they go to the topmost visible, enabled image control under the point
    // that has handlers of its own, otherwise to the form.
    void DoCreate();
    // Runs OnClose and returns the action it chose (caFree unless changed).
    TCloseAction DoClose();
    void DoKeyDown(uint16_t key, TShiftState shift);
    void DoKeyPress(char key);
    void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void DoClick(int x, int y);
    void DoDblClick(int x, int y);
    void DoMouseWheel(bool up, TShiftState shift, TPoint screenPos);

    // The window picture (ClientWidth x ClientHeight, 24-bit), brought up to date.
    // Returns the client rectangles that changed since the previous call; rows
    // whose pixels turned out unchanged are left out.
    std::vector<TRect> UpdateWindow();
    const TBitmap& WindowPicture() const { return window_; }
    // Brings the window picture up to date and tells the platform what changed
    // (when a platform is installed and something changed).
    void Repaint();

    // Called by TImage when its place, size or visibility changes.
    void ImageGeometryChanged(TImage* image, const TRect& oldRect);

private:
    void ComposeArea(const TRect& r);
    void CollectImageChanges(bool full);
    // Brings area `r` up to date when one control alone paints all of it;
    // false when that is not the case.
    bool UpdateFromSoleControl(const TRect& r, std::vector<TRect>& changed);
    TRect PaintedRect(const TImage& img) const;
    // The image control that receives mouse input at (x, y), or nullptr.
    TImage* MouseTarget(int x, int y) const;
    void AddPending(const TRect& r);

    std::vector<std::unique_ptr<TImage>> images_;
    int left_ = 0, top_ = 0, clientWidth_ = 800, clientHeight_ = 600;
    TBorderStyle borderStyle_ = TBorderStyle::bsNone;
    TWindowState windowState_ = TWindowState::wsNormal;
    std::string caption_;
    bool visible_ = false;
    TBitmap window_;
    std::vector<TRect> pendingDirty_;
    bool firstUpdate_ = true;
    TColor shownColor_ = clWindow;

    // An area of the window picture known to hold exactly the pixels of one
    // control's picture with a given content stamp, and the changed
    // rectangles found between pairs of such contents, so that a picture
    // going back and forth between a few contents is compared only once per
    // pair.
    struct SoleArea {
        const TImage* image = nullptr;
        TRect area{};
        TPoint origin{};
        uint64_t stamp = 0;
        friend bool operator==(const SoleArea&, const SoleArea&) = default;
    };
    struct KnownChange {
        SoleArea from;
        uint64_t to = 0;
        std::vector<TRect> rects;
    };
    SoleArea sole_;
    std::vector<KnownChange> knownChanges_;
};

// The application object: creates the main form and runs the message loop
// through the platform's loop function.
class TApplication {
public:
    void Minimize();
    // Reports an exception the way the toolkit does: a message box and a line
    // on standard error.
    void ShowException(const std::exception& e);
    // Tells the user something the same way: what could not be done, and why.
    void ShowNotice(const std::string& message);
    // Asks the user a yes-or-no question in a message box with the
    // application's title; true for yes. Without a platform the answer is no.
    bool Confirm(const std::string& question);

private:
    std::string title_ = "VelmiaAlive";
};
extern TApplication* Application;

// Process priority, as SetPriorityClass did it.
bool SetPriorityClass(TPriority p);

} // namespace vcl
