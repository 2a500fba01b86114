// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// What the toolkit needs from the machine it runs on. The Qt window supplies
// one implementation (platform/qt), the headless test host another
// (tests/host). The toolkit talks to exactly one platform at a time, the one
// installed with SetPlatform.
#pragma once

#include "toolkit/Types.h"

#include <string>
#include <vector>

namespace vcl {

class TTimer;
class TForm;
class TBitmap;

enum class TDialogKind { Open, Save, Color, Question };

// What a file dialog is opened with, and what the user chose.
struct TFileDialogRequest {
    TDialogKind Kind = TDialogKind::Open;
    std::string Filter;     // "description|pattern;pattern|description|pattern"
    std::string FileName;   // initial name in, chosen path out
    std::string DefaultExt; // appended (with a dot) when the user typed no extension
    std::string InitialDir;
    std::string Title;
};

enum class TPriority { Normal, Idle };

class IPlatform {
public:
    virtual ~IPlatform() = default;

    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    // Screen coordinates of the pointer.
    virtual TPoint CursorPos() = 0;
    // Negative (high bit set) while the key is down, as GetKeyState answered.
    virtual int16_t KeyState(int vk) = 0;

    // A timer's Enabled or Interval changed; the platform (re)arms or stops it.
    virtual void TimerChanged(TTimer* timer) = 0;
    // The timer is being destroyed.
    virtual void TimerDestroyed(TTimer* timer) = 0;

    // Modal dialogs; return true when the user accepted.
    virtual bool RunFileDialog(TFileDialogRequest& request) = 0;
    virtual bool RunColorDialog(TColor& color) = 0;
    // A modal message box (errors and notices).
    virtual void MessageBox(const std::string& caption, const std::string& text) = 0;
    // A modal yes-or-no question; true for yes. No is the default answer.
    virtual bool AskYesNo(const std::string& caption, const std::string& question) = 0;

    // The form's placement, caption, border or visibility changed.
    virtual void FormChanged(TForm* form) = 0;
    // Window pixels changed inside these client rectangles.
    virtual void Invalidate(TForm* form, const std::vector<TRect>& rects) = 0;
    // The form asked to close (TForm::Close).
    virtual void CloseRequested(TForm* form) = 0;

    virtual void SetCursorVisible(bool visible) = 0;
    virtual void Minimize() = 0;
    // Returns false when the system refused.
    virtual bool SetPriority(TPriority p) = 0;
    // Puts a copy of the picture on the clipboard as an image. Returns false
    // when there is no clipboard to put it on.
    virtual bool CopyPicture(const TBitmap& /*picture*/) { return false; }
};

void SetPlatform(IPlatform* platform);
IPlatform* GetPlatform(); // throws std::logic_error when none is installed
// The installed platform, or nullptr: for callers that work without one.
IPlatform* CurrentPlatform();

// The old system calls the program uses, answered by the platform.
int16_t GetKeyState(int vk);
bool GetCursorPos(TPoint* p);

} // namespace vcl
