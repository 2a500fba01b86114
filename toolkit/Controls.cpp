// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "toolkit/Controls.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <limits>

namespace vcl {

namespace {

int32_t Clamp32(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool Fits32(int64_t v)
{
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

TRect Offset(const TRect& r, int64_t dx, int64_t dy)
{
    return TRect{Clamp32(r.Left + dx), Clamp32(r.Top + dy), Clamp32(r.Right + dx), Clamp32(r.Bottom + dy)};
}

// Adds `r` to a list of rectangles, merging it with the ones it overlaps.
void AddMerged(std::vector<TRect>& list, TRect r)
{
    if (r.IsEmpty())
        return;
    for (bool merged = true; merged;) {
        merged = false;
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (!IntersectRect(*it, r).IsEmpty()) {
                r = UnionRect(r, *it);
                list.erase(it);
                merged = true;
                break;
            }
        }
    }
    list.push_back(r);
}

// Runs of changed pixels closer than this many pixels are reported together.
constexpr int32_t kRunGap = 16;
// More rectangles than this from one area are reported as their bounding box.
constexpr size_t kMaxRectsPerArea = 64;

// The first pixel at or after `x` (of `w` 3-byte pixels) where the rows
// differ, or `w`. Equal stretches are skipped eight bytes at a time.
int32_t FirstDifferentPixel(const uint8_t* a, const uint8_t* b, int32_t x, int32_t w)
{
    size_t i = size_t(x) * 3;
    const size_t n = size_t(w) * 3;
    for (; i + 8 <= n; i += 8) {
        uint64_t u, v;
        std::memcpy(&u, a + i, 8);
        std::memcpy(&v, b + i, 8);
        if (u != v)
            break;
    }
    while (i < n && a[i] == b[i])
        ++i;
    return int32_t(i / 3);
}

// The 24-bit rows of an area: the first pixel of its first row and the
// distance between rows.
struct AreaRows {
    const uint8_t* first;
    size_t stride;
    const uint8_t* Row(int32_t i) const { return first + size_t(i) * stride; }
};

// Compares the rows of `area` as they are now with the same area as it was
// and appends rectangles that cover the changed pixels: per row, runs of
// changed pixels (small gaps bridged), grown downwards while the next row's
// runs overlap them.
void ChangedRects(AreaRows nowRows, AreaRows wasRows, const TRect& area, std::vector<TRect>& out)
{
    const size_t rowBytes = size_t(area.Width()) * 3;
    std::vector<TRect> open, done, next;
    for (int32_t y = area.Top; y < area.Bottom; ++y) {
        const uint8_t* now = nowRows.Row(y - area.Top);
        const uint8_t* was = wasRows.Row(y - area.Top);
        next.clear();
        if (std::memcmp(now, was, rowBytes) != 0) {
            int32_t x = 0;
            const int32_t w = area.Width();
            while (x < w) {
                x = FirstDifferentPixel(now, was, x, w);
                if (x == w)
                    break;
                const int32_t start = x;
                while (x < w && std::memcmp(now + 3 * x, was + 3 * x, 3) != 0)
                    ++x;
                TRect cur{area.Left + start, y, area.Left + x, y + 1};
                if (!next.empty() && cur.Left - next.back().Right < kRunGap) {
                    cur.Left = next.back().Left;
                    next.pop_back();
                }
                next.push_back(cur);
            }
            // Grow the open rectangles that the runs of this row touch.
            for (TRect& cur : next) {
                for (auto it = open.begin(); it != open.end();) {
                    if (it->Left < cur.Right + kRunGap && cur.Left < it->Right + kRunGap) {
                        cur = UnionRect(cur, *it);
                        it = open.erase(it);
                    } else {
                        ++it;
                    }
                }
            }
            // Runs that grew into each other become one.
            for (size_t i = 0; i < next.size(); ++i) {
                for (size_t j = i + 1; j < next.size();) {
                    if (next[j].Left < next[i].Right && next[i].Left < next[j].Right) {
                        next[i] = UnionRect(next[i], next[j]);
                        next.erase(next.begin() + std::ptrdiff_t(j));
                    } else {
                        ++j;
                    }
                }
            }
        }
        done.insert(done.end(), open.begin(), open.end());
        open.swap(next);
    }
    done.insert(done.end(), open.begin(), open.end());
    if (done.size() > kMaxRectsPerArea) {
        TRect all{};
        for (const TRect& r : done)
            all = UnionRect(all, r);
        done.assign(1, all);
    }
    out.insert(out.end(), done.begin(), done.end());
}

} // namespace

// ---------------------------------------------------------------------------
// TImage

TImage::TImage(TForm* owner, std::string name, int left, int top, int width, int height)
    : owner_(owner), name_(std::move(name)), left_(left), top_(top), width_(width), height_(height)
{
    picture_.owner_ = this;
}

TImage::~TImage() = default;

TRect TImage::BoundsRect() const
{
    return TRect{left_, top_, Clamp32(int64_t(left_) + width_), Clamp32(int64_t(top_) + height_)};
}

void TImage::GeometryChanged(const TRect& oldRect)
{
    if (visible_ && owner_)
        owner_->ImageGeometryChanged(this, oldRect);
}

void TImage::SetLeft(int v)
{
    SetBounds(v, top_, width_, height_);
}
void TImage::SetTop(int v)
{
    SetBounds(left_, v, width_, height_);
}
void TImage::SetWidth(int v)
{
    SetBounds(left_, top_, v, height_);
}
void TImage::SetHeight(int v)
{
    SetBounds(left_, top_, width_, v);
}

void TImage::SetBounds(int left, int top, int width, int height)
{
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    const TRect old = BoundsRect();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    GeometryChanged(old);
}

void TImage::SetVisible(bool v)
{
    if (v == visible_)
        return;
    visible_ = v;
    if (owner_)
        owner_->ImageGeometryChanged(this, BoundsRect());
}

void TImage::SetCenter(bool v)
{
    if (v == center_)
        return;
    center_ = v;
    GeometryChanged(BoundsRect());
}

TPicture* TImage::GetPicture()
{
    return &picture_;
}

TBitmap* TImage::GetBitmap()
{
    return picture_.GetBitmap();
}

TPoint TImage::PictureOrigin() const
{
    const TBitmap* b = center_ ? picture_.PeekBitmap() : nullptr;
    if (!b)
        return TPoint{left_, top_};
    // Integer division truncates towards zero, as the old toolkit's did.
    return TPoint{Clamp32(int64_t(left_) + (int64_t(width_) - b->GetWidth()) / 2),
                  Clamp32(int64_t(top_) + (int64_t(height_) - b->GetHeight()) / 2)};
}

// ---------------------------------------------------------------------------
// TTimer

TTimer::TTimer(std::string name, unsigned interval) : name_(std::move(name)), interval_(interval) {}

TTimer::~TTimer()
{
    if (IPlatform* p = CurrentPlatform())
        p->TimerDestroyed(this);
}

void TTimer::SetEnabled(bool v)
{
    enabled_ = v;
    if (IPlatform* p = CurrentPlatform())
        p->TimerChanged(this);
}

void TTimer::SetInterval(unsigned ms)
{
    interval_ = ms;
    if (IPlatform* p = CurrentPlatform())
        p->TimerChanged(this);
}

void TTimer::Fire()
{
    if (enabled_ && OnTimer)
        OnTimer(this);
}

// ---------------------------------------------------------------------------
// Dialogs

bool TOpenDialog::Execute()
{
    IPlatform* p = CurrentPlatform();
    if (!p)
        return false;
    TFileDialogRequest request;
    request.Kind = kind_;
    request.Filter = Filter;
    request.FileName = FileName;
    request.DefaultExt = DefaultExt;
    request.InitialDir = InitialDir;
    request.Title = Title;
    if (!p->RunFileDialog(request))
        return false;
    FileName = request.FileName;
    return true;
}

bool TColorDialog::Execute()
{
    IPlatform* p = CurrentPlatform();
    if (!p)
        return false;
    TColor c = Color;
    if (!p->RunColorDialog(c))
        return false;
    Color = c;
    return true;
}

// ---------------------------------------------------------------------------
// TScreen, TApplication

namespace {
TScreen g_screen;
TApplication g_application;
} // namespace

TScreen* Screen = &g_screen;
TApplication* Application = &g_application;

int TScreen::GetWidth() const
{
    IPlatform* p = CurrentPlatform();
    return p ? p->ScreenWidth() : 0;
}

int TScreen::GetHeight() const
{
    IPlatform* p = CurrentPlatform();
    return p ? p->ScreenHeight() : 0;
}

void TScreen::SetCursor(int c)
{
    cursor_ = c;
    if (IPlatform* p = CurrentPlatform())
        p->SetCursorVisible(c != -1);
}

void TApplication::Minimize()
{
    if (IPlatform* p = CurrentPlatform())
        p->Minimize();
}

void TApplication::ShowException(const std::exception& e)
{
    ShowNotice(e.what());
}

void TApplication::ShowNotice(const std::string& message)
{
    std::cerr << title_ << ": " << message << std::endl;
    if (IPlatform* p = CurrentPlatform())
        p->MessageBox(title_, message);
}

bool TApplication::Confirm(const std::string& question)
{
    IPlatform* p = CurrentPlatform();
    return p && p->AskYesNo(title_, question);
}

bool SetPriorityClass(TPriority p)
{
    IPlatform* platform = CurrentPlatform();
    return platform ? platform->SetPriority(p) : false;
}

// ---------------------------------------------------------------------------
// TForm

TForm::TForm() = default;

TForm::~TForm() = default;

TImage* TForm::NewImage(const std::string& name, int left, int top, int width, int height)
{
    images_.push_back(std::make_unique<TImage>(this, name, left, top, width, height));
    return images_.back().get();
}

TImage* TForm::FindImage(const std::string& name) const
{
    for (const auto& img : images_)
        if (img->GetName() == name)
            return img.get();
    return nullptr;
}

namespace {
void NotifyFormChanged(TForm* f)
{
    if (IPlatform* p = CurrentPlatform())
        p->FormChanged(f);
}
} // namespace

void TForm::SetLeft(int v)
{
    left_ = v;
    NotifyFormChanged(this);
}

void TForm::SetTop(int v)
{
    top_ = v;
    NotifyFormChanged(this);
}

void TForm::SetClientWidth(int v)
{
    clientWidth_ = std::max(v, 0);
    NotifyFormChanged(this);
}

void TForm::SetClientHeight(int v)
{
    clientHeight_ = std::max(v, 0);
    NotifyFormChanged(this);
}

void TForm::SetBorderStyle(TBorderStyle b)
{
    borderStyle_ = b;
    NotifyFormChanged(this);
}

void TForm::SetWindowState(TWindowState s)
{
    windowState_ = s;
    NotifyFormChanged(this);
}

void TForm::SetCaption(const std::string& c)
{
    caption_ = c;
    NotifyFormChanged(this);
}

void TForm::SetVisible(bool v)
{
    visible_ = v;
    NotifyFormChanged(this);
}

void TForm::Close()
{
    if (IPlatform* p = CurrentPlatform())
        p->CloseRequested(this);
}

void TForm::DoCreate()
{
    if (OnCreate)
        OnCreate(this);
}

TCloseAction TForm::DoClose()
{
    TCloseAction action = TCloseAction::caFree;
    if (OnClose)
        OnClose(this, action);
    return action;
}

void TForm::DoKeyDown(uint16_t key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TForm::DoKeyPress(char key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

TImage* TForm::MouseTarget(int x, int y) const
{
    for (auto it = images_.rbegin(); it != images_.rend(); ++it) {
        TImage* img = it->get();
        if (img->GetVisible() && img->GetEnabled() && img->HasMouseHandlers() && img->BoundsRect().Contains(x, y))
            return img;
    }
    return nullptr;
}

void TForm::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (TImage* img = MouseTarget(x, y)) {
        if (img->OnMouseDown)
            img->OnMouseDown(img, button, shift, x - img->GetLeft(), y - img->GetTop());
        return;
    }
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TForm::DoClick(int x, int y)
{
    if (TImage* img = MouseTarget(x, y)) {
        if (img->OnClick)
            img->OnClick(img);
        return;
    }
    if (OnClick)
        OnClick(this);
}

void TForm::DoDblClick(int x, int y)
{
    if (TImage* img = MouseTarget(x, y)) {
        if (img->OnDblClick)
            img->OnDblClick(img);
        return;
    }
    if (OnDblClick)
        OnDblClick(this);
}

void TForm::DoMouseWheel(bool up, TShiftState shift, TPoint screenPos)
{
    bool handled = false;
    auto& handler = up ? OnMouseWheelUp : OnMouseWheelDown;
    if (handler)
        handler(this, shift, screenPos, handled);
}

void TForm::AddPending(const TRect& r)
{
    AddMerged(pendingDirty_, IntersectRect(r, TRect{0, 0, clientWidth_, clientHeight_}));
}

void TForm::ImageGeometryChanged(TImage* image, const TRect& oldRect)
{
    AddPending(oldRect);
    AddPending(image->BoundsRect());
}

// The part of the form a visible control's picture really paints: its
// bounds, clipped to the picture's extent. Empty when it paints nothing.
TRect TForm::PaintedRect(const TImage& img) const
{
    const TBitmap* b = img.visible_ ? img.picture_.PeekBitmap() : nullptr;
    if (!b || b->Empty())
        return TRect{};
    const TPoint o = img.PictureOrigin();
    const TRect extent{o.x, o.y, Clamp32(int64_t(o.x) + b->GetWidth()), Clamp32(int64_t(o.y) + b->GetHeight())};
    return IntersectRect(img.BoundsRect(), extent);
}

void TForm::ComposeArea(const TRect& r)
{
    if (!IntersectRect(r, sole_.area).IsEmpty())
        sole_ = SoleArea{};
    // Controls copy opaquely, so whatever lies under the topmost control that
    // paints all of `r` cannot show: start there and skip the form colour.
    size_t first = 0;
    bool covered = false;
    for (size_t i = images_.size(); i-- > 0 && !covered;) {
        if (IntersectRect(PaintedRect(*images_[i]), r) == r) {
            first = i;
            covered = true;
        }
    }
    TCanvas* canvas = window_.GetCanvas();
    if (!covered) {
        canvas->Brush.Color = Color;
        canvas->FillRect(r);
    }
    canvas->CopyMode = SRCCOPY;
    for (size_t i = first; i < images_.size(); ++i) {
        const auto& img = images_[i];
        TBitmap* b = img->visible_ ? img->picture_.PeekBitmap() : nullptr;
        if (!b || b->Empty())
            continue;
        const TRect area = IntersectRect(r, img->BoundsRect());
        if (area.IsEmpty())
            continue;
        const TPoint o = img->PictureOrigin();
        const int64_t l = int64_t(area.Left) - o.x, t = int64_t(area.Top) - o.y;
        const int64_t rr = int64_t(area.Right) - o.x, bb = int64_t(area.Bottom) - o.y;
        if (!Fits32(l) || !Fits32(t) || !Fits32(rr) || !Fits32(bb))
            continue; // so far away that it cannot reach the window
        canvas->CopyRect(area, b->GetCanvas(), TRect{int32_t(l), int32_t(t), int32_t(rr), int32_t(bb)});
    }
}

// Collects what the image controls changed since the last call, as pending
// areas of the window; with `full` the whole window is composed anyway.
void TForm::CollectImageChanges(bool full)
{
    for (const auto& img : images_) {
        if (!img->visible_ && img->picture_.Waiting())
            continue; // not made yet, so it changed nothing on screen
        TBitmap* b = img->picture_.PeekBitmap();
        const TRect dirty = b ? b->TakeDirtyRect() : TRect{};
        const bool replaced =
            b != img->shownBitmap_ || (b && (b->GetWidth() != img->shownWidth_ || b->GetHeight() != img->shownHeight_));
        img->shownBitmap_ = b;
        img->shownWidth_ = b ? b->GetWidth() : -1;
        img->shownHeight_ = b ? b->GetHeight() : -1;
        if (!img->visible_ || full)
            continue;
        if (replaced) {
            AddPending(img->BoundsRect());
        } else if (!dirty.IsEmpty()) {
            const TPoint o = img->PictureOrigin();
            AddPending(IntersectRect(Offset(dirty, o.x, o.y), img->BoundsRect()));
        }
    }
}

std::vector<TRect> TForm::UpdateWindow()
{
    const TRect client{0, 0, clientWidth_, clientHeight_};
    const bool resized = window_.GetWidth() != clientWidth_ || window_.GetHeight() != clientHeight_;
    if (resized || window_.GetPixelFormat() != pf24bit) {
        window_.SetPixelFormat(pf24bit);
        window_.SetSize(clientWidth_, clientHeight_);
    }
    const bool full = firstUpdate_ || resized || Color != shownColor_;
    CollectImageChanges(full);

    std::vector<TRect> changed;
    if (full) {
        pendingDirty_.clear();
        firstUpdate_ = false;
        shownColor_ = Color;
        if (!client.IsEmpty()) {
            ComposeArea(client);
            changed.push_back(client);
        }
        return changed;
    }

    std::vector<TRect> areas;
    areas.swap(pendingDirty_);
    std::vector<uint8_t> before;
    for (const TRect& a : areas) {
        const TRect r = IntersectRect(a, client);
        if (r.IsEmpty() || UpdateFromSoleControl(r, changed))
            continue;
        const size_t rowBytes = size_t(r.Width()) * 3;
        const size_t offset = size_t(r.Left) * 3;
        before.resize(rowBytes * size_t(r.Height()));
        for (int32_t y = r.Top; y < r.Bottom; ++y)
            std::memcpy(before.data() + size_t(y - r.Top) * rowBytes, window_.ScanLineRO(y) + offset, rowBytes);
        ComposeArea(r);

        ChangedRects(AreaRows{window_.ScanLineRO(r.Top) + offset, window_.RowBytes()},
                     AreaRows{before.data(), rowBytes}, r, changed);
    }
    return changed;
}

bool TForm::UpdateFromSoleControl(const TRect& r, std::vector<TRect>& changed)
{
    // The topmost control that paints anything of `r` must paint all of it.
    const TImage* top = nullptr;
    for (size_t i = images_.size(); i-- > 0;) {
        const TRect inside = IntersectRect(PaintedRect(*images_[i]), r);
        if (inside.IsEmpty())
            continue;
        if (inside == r)
            top = images_[i].get();
        break;
    }
    if (!top)
        return false;
    const TBitmap* b = top->picture_.PeekBitmap();
    if (b->GetPixelFormat() != pf24bit)
        return false;
    const SoleArea now{top, r, top->PictureOrigin(), b->ContentStamp()};
    const bool known = sole_.image == top && sole_.area == r && sole_.origin == now.origin;
    if (known && sole_.stamp == now.stamp)
        return true; // the window already shows these very pixels

    const AreaRows source{b->ScanLineRO(r.Top - now.origin.y) + 3 * size_t(r.Left - now.origin.x), b->RowBytes()};
    const size_t wstride = window_.RowBytes();
    uint8_t* window = window_.Bits() + size_t(r.Top) * wstride + 3 * size_t(r.Left);
    std::vector<TRect> found;
    const KnownChange* seen = nullptr;
    if (known)
        for (const KnownChange& k : knownChanges_)
            if (k.from == sole_ && k.to == now.stamp)
                seen = &k;
    if (seen) {
        found = seen->rects;
    } else {
        ChangedRects(source, AreaRows{window, wstride}, r, found);
        if (known) {
            constexpr size_t kKeep = 8;
            if (knownChanges_.size() >= kKeep)
                knownChanges_.erase(knownChanges_.begin());
            knownChanges_.push_back(KnownChange{sole_, now.stamp, found});
        }
    }
    for (const TRect& c : found)
        for (int32_t y = c.Top; y < c.Bottom; ++y)
            std::memcpy(window + size_t(y - r.Top) * wstride + 3 * size_t(c.Left - r.Left),
                        source.Row(y - r.Top) + 3 * size_t(c.Left - r.Left), 3 * size_t(c.Width()));
    changed.insert(changed.end(), found.begin(), found.end());
    sole_ = now;
    return true;
}

void TForm::Repaint()
{
    const std::vector<TRect> changed = UpdateWindow();
    if (changed.empty())
        return;
    if (IPlatform* p = CurrentPlatform())
        p->Invalidate(this, changed);
}

} // namespace vcl
