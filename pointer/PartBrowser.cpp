// The part browser: every part file of one kind as a thumbnail on a white
// screen over the portrait. A double-click on a thumbnail loads that file
// into the part's layer; the right button leaves without a change. While it
// is open the portrait stands still and all other input is ignored.
#include "shell/Velmiaunit1.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

using namespace vcl;

namespace {

constexpr int kScreenWidth = 760;
constexpr int kScreenHeight = 520;
constexpr int kGap = 10;
constexpr TColor kUnreadableCell = 0xC0C0C0;

// The part of a file shown as its thumbnail: costumes and camisoles show one
// band at half size, the small parts the whole picture.
TRect ThumbnailSource(int kind, int thumbWidth, int thumbHeight)
{
    switch (kind) {
    case 2:
        return Rect(10, 0, 500, 100);
    case 3:
        return Rect(10, 150, 500, 250);
    default:
        return Rect(0, 0, thumbWidth, thumbHeight);
    }
}

std::string CurrentFolder()
{
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::current_path(ec);
    return ec ? std::string("the current folder") : folder.string();
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

bool TSvelmia::ShowPartBrowser()
{
    // The thumbnail loader.
    delete ScratchMask;
    ScratchMask = new TBitmap();

    TRect cell = Rect(0, 0, ThumbWidth, ThumbHeight);
    const TRect source = ThumbnailSource(BrowserKind, ThumbWidth, ThumbHeight);

    TCanvas* screen = DispTargetsScreen->GetCanvas();
    screen->Brush.Color = clWhite;
    screen->FillRect(Rect(0, 0, kScreenWidth, kScreenHeight));
    DispTargetsScreen->SetVisible(true);
    DispTargetsScreen->SetCenter(true);
    DispTargetsScreen->SetLeft(20);
    DispTargetsScreen->SetTop(40);

    screen->CopyMode = SRCCOPY;
    std::string name;
    for (int index = 0; NameAt(index, name); ++index) {
        // Rows below the screen cannot be seen; their files are not read.
        if (cell.Top < kScreenHeight) {
            try {
                ScratchMask->LoadFromFile(name);
                screen->CopyRect(cell, ScratchMask->GetCanvas(), source);
            } catch (const std::exception&) {
                // Listed but not a picture we can read: a grey cell. Picking
                // it reports why.
                screen->Brush.Color = kUnreadableCell;
                screen->FillRect(cell);
                screen->Brush.Color = clWhite;
            }
        }
        cell.Left += ThumbWidth + kGap;
        cell.Right += ThumbWidth + kGap;
        if (cell.Right > kScreenWidth) {
            cell.Top += ThumbHeight + kGap;
            cell.Bottom += ThumbHeight + kGap;
            cell.Left = 0;
            cell.Right = ThumbWidth;
        }
    }

    delete ScratchMask;
    ScratchMask = nullptr;
    DispTargetsScreen->SetEnabled(true);
    return true;
}

// Closes the browser: frees the name list, takes the screen away and lets
// the portrait run again.
void TSvelmia::CloseBrowser()
{
    delete PartBitmap;
    PartBitmap = nullptr;
    delete ScratchMask;
    ScratchMask = nullptr;
    BrowserNames.reset();
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

    // A click in the gap right of or below a cell picks that cell.
    const int lastColumn = (kScreenWidth - ThumbWidth) / (ThumbWidth + kGap);
    const int column = x / (ThumbWidth + kGap);
    if (column > lastColumn)
        return;
    const int row = y / (ThumbHeight + kGap);
    const int index = (lastColumn + 1) * row + column;
    std::string name;
    if (index >= BrowserCount || !NameAt(index, name))
        return;
    ChosenPartFile = name;

    PartBitmap = new TBitmap();
    try {
        PartBitmap->SetSize(PartWidth, PartHeight);
        PartBitmap->LoadFromFile(ChosenPartFile);
    } catch (const std::exception& e) {
        // Nothing changes; say which file and why, and leave the browser as
        // the right button does.
        const auto* bmp = dynamic_cast<const BmpError*>(&e);
        const std::string reason = bmp ? bmp->Reason() : e.what();
        CloseBrowser();
        Application->ShowException(EFileError("The part file \"" + ChosenPartFile + "\" in the folder \"" +
                                              CurrentFolder() + "\" cannot be used: " + reason));
        return;
    }
    const bool toLeft = ShowMode && ShiftDown;
    PlacePartPicture(BrowserKind, toLeft, *PartBitmap);
    switch (BrowserKind) {
    case kPartCostume:
        (toLeft ? LeftCamisoleShown : CamisoleShown) = false;
        if (!toLeft)
            CostumeFileName = ChosenPartFile;
        break;
    case kPartCamisole:
        if (toLeft) {
            LeftCamisoleShown = true;
            LeftStringPatternOn = LeftWStringOn = LeftCrossStringOn = LeftThickStringOn = false;
        } else {
            CamisoleShown = true;
            StringPatternOn = WStringOn = CrossStringOn = ThickStringOn = false;
        }
        CamisoleFileName = ChosenPartFile;
        break;
    case kPartHairBand:
        (toLeft ? LeftHairBandShown : HairBandShown) = true;
        HairBandFileName = ChosenPartFile;
        break;
    case kPartFlower:
        if (toLeft) {
            if (LeftLongHair)
                LeftFlowerAlt = 1;
            LeftFlowerShown = true;
        } else {
            FlowerShown = true;
            if (LongHair)
                FlowerAlt = 1;
        }
        FlowerFileName = ChosenPartFile;
        break;
    case kPartRibbon:
        (toLeft ? LeftRibbonShown : RibbonShown) = true;
        RibbonFileName = ChosenPartFile;
        break;
    case kPartChoker:
        (toLeft ? LeftChokerShown : ChokerShown) = true;
        ChokerFileName = ChosenPartFile;
        break;
    default:
        break;
    }

    CloseBrowser();
    StepBackCounters();
    RequestRedraw(); // the next tick recomposes with the new part
}

void TSvelmia::DispTargetsScreenMouseDown(TObject* /*Sender*/, TMouseButton Button, TShiftState /*Shift*/, int /*X*/,
                                          int /*Y*/)
{
    if (!BrowserOpen || Button != TMouseButton::mbRight)
        return;
    CloseBrowser();
}
