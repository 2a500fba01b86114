// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The part browser: every part file of one kind as a thumbnail on a white
// screen over the portrait. A double-click on a thumbnail loads that file
// into the part's layer; the right button leaves without a change. While it
// is open the portrait stands still and all other input is ignored. When the
// files fill more than one screen, Page Down / Page Up and the wheel turn the
// pages, and a small label in the lower right corner says which page is shown.
#include "assets/Transparency.h"
#include "shell/PartFolder.h"
#include "shell/Velmiaunit1.h"
#include "toolkit/Intl.h"

#include <algorithm>
#include <cstring>
#include <string>

using namespace vcl;

namespace {

using layout::kBrowserHeight;
using layout::kBrowserWidth;
constexpr int kGap = 10;
constexpr TColor kUnreadableCell = 0xC0C0C0;

// The part of a file shown as its thumbnail: costumes and camisoles show one
// band at half size, the small parts the whole picture.
TRect ThumbnailSource(TSvelmia::PartKind kind, int thumbWidth, int thumbHeight)
{
    switch (kind) {
    case TSvelmia::kPartCostume:
        return layout::kCostumeThumbSource;
    case TSvelmia::kPartCamisole:
        return layout::kCamisoleThumbSource;
    default:
        return Rect(0, 0, thumbWidth, thumbHeight);
    }
}

// ---- The page label ------------------------------------------------------------
//
// "page 2 of 8" in a small pixel font: letters 5 pixels wide on 9 rows (digits
// and capitals on rows 0-6, the tails of p and g on rows 7-8), one column
// between letters, dark grey on a white box with a grey edge on its top and
// left (the grey of an unreadable cell), in the screen's lower right corner.

constexpr int kGlyphWidth = 5;
constexpr int kGlyphRows = 9;
constexpr int kGlyphAdvance = kGlyphWidth + 1;
constexpr int kSpaceAdvance = 4;
constexpr int kLabelPadX = 4;
constexpr int kLabelPadY = 3;
constexpr TColor kLabelInk = 0x404040;
constexpr TColor kLabelEdge = kUnreadableCell;

struct Glyph {
    char c;
    const char* rows[kGlyphRows];
};

// clang-format off
constexpr Glyph kGlyphs[] = {
    {'p', {".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####", ".....", "....."}},
    {'g', {".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###.", ".....", "....."}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###.", ".....", "....."}},
    {'f', {"..##.", ".#...", "####.", ".#...", ".#...", ".#...", ".#...", ".....", "....."}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###.", ".....", "....."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###.", ".....", "....."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####", ".....", "....."}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###.", ".....", "....."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#.", ".....", "....."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###.", ".....", "....."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###.", ".....", "....."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#...", ".....", "....."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###.", ".....", "....."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##..", ".....", "....."}},
};
// clang-format on

std::string PageLabelText(int page, int pages)
{
    return "page " + std::to_string(page + 1) + " of " + std::to_string(pages);
}

int Advance(char c)
{
    return c == ' ' ? kSpaceAdvance : kGlyphAdvance;
}

// The label's box on the screen (its top and left edges included).
TRect PageLabelRect(int page, int pages)
{
    int textWidth = -1; // no column after the last letter
    for (const char c : PageLabelText(page, pages))
        textWidth += Advance(c);
    const int width = 1 + kLabelPadX + textWidth + kLabelPadX;
    const int height = 1 + kLabelPadY + kGlyphRows + kLabelPadY;
    return Rect(kBrowserWidth - width, kBrowserHeight - height, kBrowserWidth, kBrowserHeight);
}

void DrawPageLabel(TBitmap& screen, int page, int pages)
{
    const TRect box = PageLabelRect(page, pages);
    for (int y = box.Top; y < box.Bottom; ++y)
        for (int x = box.Left; x < box.Right; ++x)
            screen.SetPixelColor(x, y, x == box.Left || y == box.Top ? kLabelEdge : clWhite);
    int x = box.Left + 1 + kLabelPadX;
    const int y = box.Top + 1 + kLabelPadY;
    for (const char c : PageLabelText(page, pages)) {
        for (const Glyph& g : kGlyphs) {
            if (g.c != c)
                continue;
            for (int row = 0; row < kGlyphRows; ++row)
                for (int col = 0; col < kGlyphWidth; ++col)
                    if (g.rows[row][col] == '#')
                        screen.SetPixelColor(x + col, y + row, kLabelInk);
        }
        x += Advance(c); // a space has no glyph
    }
}

} // namespace

bool TSvelmia::NameAt(int index, std::string& name)
{
    name.clear();
    if (!BrowserNames || index < 0 || index >= BrowserCount)
        return false;
    const char* names = BrowserNames.get();
    const char* end = names + kBrowserNamesSize;
    const char* p = names;
    for (int i = 0; i < index; ++i) {
        const void* zero = std::memchr(p, 0, size_t(end - p));
        if (!zero)
            return false;
        p = static_cast<const char*>(zero) + 1;
        if (p >= end)
            return false;
    }
    const void* zero = std::memchr(p, 0, size_t(end - p));
    if (!zero)
        return false;
    name.assign(p, static_cast<const char*>(zero));
    return !name.empty();
}

// Columns that fit the screen's width, times the rows that fit its height (a
// cell whose right or lower edge is exactly the screen's still fits): a page
// shows whole thumbnails only. A thumbnail taller than the screen still gets
// a row of its own.
int TSvelmia::BrowserPageSize() const
{
    if (ThumbWidth <= 0 || ThumbHeight <= 0)
        return 1;
    const int rows = (kBrowserHeight - ThumbHeight) / (ThumbHeight + kGap) + 1;
    return BrowserColumns() * std::max(1, rows);
}

int TSvelmia::BrowserColumns() const
{
    return std::max(1, (kBrowserWidth - ThumbWidth) / (ThumbWidth + kGap) + 1);
}

TRect TSvelmia::CellRect(int slot) const
{
    const int left = slot % BrowserColumns() * (ThumbWidth + kGap);
    const int top = slot / BrowserColumns() * (ThumbHeight + kGap);
    return Rect(left, top, left + ThumbWidth, top + ThumbHeight);
}

int TSvelmia::BrowserPageCount() const
{
    const int size = BrowserPageSize();
    return std::max(1, (BrowserCount + size - 1) / size);
}

void TSvelmia::ShowPartBrowser()
{
    BrowserPage = 0;
    DrawBrowserPage();
    DispTargetsScreen->SetVisible(true);
    DispTargetsScreen->SetCenter(true);
    DispTargetsScreen->SetLeft(layout::kBrowserOnScreen.x);
    DispTargetsScreen->SetTop(layout::kBrowserOnScreen.y);
    DispTargetsScreen->SetEnabled(true);
}

// The thumbnails of the page BrowserPage, left to right in rows from the
// top-left corner, on a white screen; the page label when there are more.
void TSvelmia::DrawBrowserPage()
{
    TBitmap thumbnail; // each file of the page is read into it in turn
    const TRect source = ThumbnailSource(BrowserKind, ThumbWidth, ThumbHeight);

    TCanvas* screen = DispTargetsScreen->GetCanvas();
    screen->Brush.Color = clWhite;
    screen->FillRect(Rect(0, 0, kBrowserWidth, kBrowserHeight));

    screen->CopyMode = SRCCOPY;
    const int first = BrowserPage * BrowserPageSize();
    std::string name;
    for (int slot = 0; slot < BrowserPageSize() && NameAt(first + slot, name); ++slot) {
        const TRect cell = CellRect(slot);
        try {
            thumbnail.LoadFromFile(name);
            velmia::assets::LayOverWhite(thumbnail);
            screen->CopyRect(cell, thumbnail.GetCanvas(), source);
        } catch (const std::exception&) {
            // Listed but not a picture we can read: a grey cell. Picking
            // it reports why.
            screen->Brush.Color = kUnreadableCell;
            screen->FillRect(cell);
            screen->Brush.Color = clWhite;
        }
    }
    if (BrowserPageCount() > 1)
        DrawPageLabel(*DispTargetsScreen->GetBitmap(), BrowserPage, BrowserPageCount());
}

// Page Down and the wheel turned towards the user show the next page, Page Up
// and the wheel turned away the previous one; the first and the last page
// stay where they are.
void TSvelmia::TurnBrowserPage(int step)
{
    if (!BrowserOpen)
        return;
    const int page = BrowserPage + step;
    if (page < 0 || page >= BrowserPageCount())
        return;
    BrowserPage = page;
    DrawBrowserPage();
}

// Closes the browser: frees the name list, takes the screen away and lets
// the portrait run again.
void TSvelmia::CloseBrowser()
{
    PartBitmap.reset();
    BrowserNames.reset();
    BrowserPage = 0;
    DispTargetsScreen->SetVisible(false);
    DispTargetsScreen->SetEnabled(false);
    if (!CursorVisible)
        Screen->SetCursor(-1);
    Timer1->SetEnabled(true);
    Busy = false;
    BrowserOpen = false;
}

void TSvelmia::DispTargetsScreenDblClick(TObject* /*Sender*/)
{
    SettleAskedRedraw();
    if (!BrowserOpen)
        return;
    if (GetKeyState(VK_SHIFT) < 0)
        ShiftDown = true;

    TPoint cursor;
    GetCursorPos(&cursor);
    const int x = cursor.x - (GetLeft() + DispTargetsScreen->GetLeft());
    const int y = cursor.y - (GetTop() + DispTargetsScreen->GetTop() + CaptionOffset);
    if (x < 0 || y < 0)
        return;
    // The page label covers no cell.
    if (BrowserPageCount() > 1 && PageLabelRect(BrowserPage, BrowserPageCount()).Contains(x, y))
        return;

    // A click in the gap right of or below a cell picks that cell.
    const int column = x / (ThumbWidth + kGap);
    if (column >= BrowserColumns())
        return;
    const int row = y / (ThumbHeight + kGap);
    const int slot = BrowserColumns() * row + column;
    if (slot >= BrowserPageSize())
        return; // below the screen
    const int index = BrowserPage * BrowserPageSize() + slot;
    std::string name;
    if (index >= BrowserCount || !NameAt(index, name))
        return;
    ChosenPartFile = name;
    WearChosenPart();
}

// Reads the chosen file and puts it on; with Shift in the show, on the left
// figure. The browser closes either way.
void TSvelmia::WearChosenPart()
{
    PartBitmap = std::make_unique<TBitmap>();
    try {
        PartBitmap->SetSize(PartWidth, PartHeight);
        RememberFile(ChosenPartFile);
        PartBitmap->LoadFromFile(ChosenPartFile);
    } catch (const std::exception& e) {
        // Nothing changes; say which file and why, and leave the browser as
        // the right button does.
        const auto* bmp = dynamic_cast<const BmpError*>(&e);
        const std::string reason = bmp ? bmp->Reason() : e.what();
        CloseBrowser();
        Application->ShowNotice(vcl::Format(_("The part file \"%s\" in the folder \"%s\" cannot be used: %s"),
                                            ChosenPartFile, velmia::shell::CurrentFolderName(), reason));
        return;
    }
    const Figure figure = ShowMode && ShiftDown ? Figure::Left : Figure::Main;
    PlacePartPicture(BrowserKind, figure == Figure::Left, *PartBitmap);
    WearPart(BrowserKind, figure, ChosenPartFile);
    // A flower chosen here goes on the chest of a figure with long hair.
    const SelectionRef set = FigureSet(figure);
    if (BrowserKind == kPartFlower && set.LongHair)
        set.FlowerAlt = 1;

    CloseBrowser();
    StepBackCounters();
    RequestRedraw(); // the next tick recomposes with the new part
}

void TSvelmia::DispTargetsScreenMouseDown(TObject* /*Sender*/, TMouseButton Button, TShiftState /*Shift*/, int /*X*/,
                                          int /*Y*/)
{
    SettleAskedRedraw();
    if (!BrowserOpen || Button != TMouseButton::mbRight)
        return;
    CloseBrowser();
}
