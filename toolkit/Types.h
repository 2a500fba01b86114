// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Basic value types shared by every layer: rectangles, points, colours,
// virtual-key codes and the exceptions the toolkit throws.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vcl {

// Half-open rectangle: Right and Bottom are exclusive.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    constexpr int32_t Width() const { return Right - Left; }
    constexpr int32_t Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(int32_t x, int32_t y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    return TRect{l, t, r, b};
}

// Intersection of two rectangles; empty (all zero) when they do not meet.
TRect IntersectRect(const TRect& a, const TRect& b);
// Smallest rectangle holding both; an empty operand is ignored.
TRect UnionRect(const TRect& a, const TRect& b);

struct TPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

// Colour as 0x00BBGGRR.
using TColor = int32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clWindow = 0xFFFFFF;

constexpr uint8_t GetRValue(TColor c)
{
    return uint8_t(c & 0xFF);
}
constexpr uint8_t GetGValue(TColor c)
{
    return uint8_t((c >> 8) & 0xFF);
}
constexpr uint8_t GetBValue(TColor c)
{
    return uint8_t((c >> 16) & 0xFF);
}
constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b)
{
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

// Virtual-key codes (the values the old toolkit delivered to key-down handlers).
enum : uint16_t {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18,
    VK_PAUSE = 19,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_PRIOR = 33,
    VK_NEXT = 34,
    VK_END = 35,
    VK_HOME = 36,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_F1 = 112,
    VK_F2,
    VK_F3,
    VK_F4,
    VK_F5,
    VK_F6,
    VK_F7,
    VK_F8,
    VK_F9,
    VK_F10,
    VK_F11,
    VK_F12,
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier and button state passed to input handlers.
enum TShiftFlag : uint16_t {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = uint16_t;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

// Thrown for graphics failures: bad sizes, unreadable files, row index out of range.
class EInvalidGraphic : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Thrown when a file cannot be opened, read or written.
// A file that could not be read or written. Made from a path and a reason,
// its message is "path: reason", and Path() and Reason() give the parts, so
// a caller that names the file in its own words takes the reason alone.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    EFileError(const std::string& path, const std::string& reason)
        : std::runtime_error(path + ": " + reason), path_(path), reason_(reason)
    {
    }
    // Empty when the error was made from a whole message.
    const std::string& Path() const { return path_; }
    std::string Reason() const { return path_.empty() ? what() : reason_; }

private:
    std::string path_;
    std::string reason_;
};

class TObject {
public:
    virtual ~TObject() = default;
};

} // namespace vcl
