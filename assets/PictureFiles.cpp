// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The picture files read at start-up: required pictures (a failure ends
// start-up with a report naming the file, the folder and the reason),
// optional ones (a failure only sets a flag), and what is derived from them.
#include "assets/Transparency.h"
#include "shell/PartFolder.h"
#include "shell/Velmiaunit1.h"
#include "toolkit/Intl.h"

#include <string>

using vcl::Rect;
using vcl::TBitmap;

using velmia::shell::Required;
using velmia::shell::RequiredPicture;

namespace {

// The report of a required picture that start-up cannot use.
[[noreturn]] void ThrowUnusable(const std::string& file, const std::string& reason)
{
    throw vcl::EFileError(
        vcl::Format(_("Cannot start: the picture file \"%s\" in the folder \"%s\" cannot be used: %s"), file,
                    velmia::shell::CurrentFolderName(), reason));
}

[[noreturn]] void ThrowUnreadable(const std::string& file, const std::exception& e)
{
    if (const auto* bmp = dynamic_cast<const vcl::BmpError*>(&e))
        ThrowUnusable(file, bmp->Reason());
    ThrowUnusable(file, e.what());
}

// The mask routines read three bytes per pixel (four in 32-bit pictures), so
// pictures stored with a palette are turned into 24-bit ones on load.
void MakeMaskable(TBitmap* bitmap)
{
    vcl::TPixelFormat f = bitmap->GetPixelFormat();
    if (f != vcl::pf24bit && f != vcl::pf32bit)
        bitmap->SetPixelFormat(vcl::pf24bit);
}

// A picture read at start-up takes the size the program reads it at, as a
// part file does when a key command or the part browser puts it in place:
// what the file lacks is white (transparent in the masked pictures, no
// stroke in the string patterns), what lies beyond that size is cut off. A
// file of exactly that size is kept as it is, in its own format; a palette
// picture to be padded is made 24-bit first, so its padding is pure white
// whatever its palette holds.
void FitToSize(TBitmap* picture, PictureSize size)
{
    if (size.Width == 0 || (picture->GetWidth() == size.Width && picture->GetHeight() == size.Height))
        return;
    if (vcl::BitsPerPixel(picture->GetPixelFormat()) <= 8)
        picture->SetPixelFormat(vcl::pf24bit);
    picture->SetSize(size.Width, size.Height);
}

// Loads a picture file into an image control, at `size` when one is given;
// throws on any failure.
void LoadPicture(vcl::TImage* image, const char* fileName, PictureSize size, bool maskable = true)
{
    image->GetPicture()->LoadFromFile(fileName);
    TBitmap* picture = image->GetPicture()->GetBitmap();
    velmia::assets::LayOverWhite(*picture);
    FitToSize(picture, size);
    if (maskable)
        MakeMaskable(picture);
}

} // namespace

OwnedBitmap TSvelmia::NewMaskBitmap(int width, int height)
{
    auto mask = std::make_unique<TBitmap>();
    mask->SetPixelFormat(vcl::pf8bit);
    mask->SetPalette(vcl::CreatePalette(BlackWhitePalette));
    mask->SetSize(width, height);
    return mask;
}

OwnedBitmap TSvelmia::NewImageMask(vcl::TImage* image, const vcl::TRect& area)
{
    OwnedBitmap mask = NewMaskBitmap(area.Width(), area.Height());
    MakeWhiteMaskFromImage(mask.get(), image, area, area);
    return mask;
}

void TSvelmia::LoadRequiredPicture(vcl::TImage* image, const char* fileName, bool maskable)
{
    LoadRequiredPicture(image, fileName, PictureSize{}, maskable);
}

void TSvelmia::LoadRequiredPicture(vcl::TImage* image, const char* fileName, PictureSize size, bool maskable)
{
    try {
        LoadPicture(image, fileName, size, maskable);
    } catch (const std::exception& e) {
        ThrowUnreadable(fileName, e);
    }
}

void TSvelmia::LoadRequiredBitmap(TBitmap& bitmap, const char* fileName, bool maskable, Alpha alpha)
{
    try {
        bitmap.LoadFromFile(fileName);
        if (alpha == Alpha::LaidOverWhite)
            velmia::assets::LayOverWhite(bitmap);
        if (maskable)
            MakeMaskable(&bitmap);
    } catch (const std::exception& e) {
        ThrowUnreadable(fileName, e);
    }
}

bool TSvelmia::LoadOptionalPicture(vcl::TImage* image, const char* fileName, PictureSize size)
{
    try {
        LoadPicture(image, fileName, size);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// A two-cell strip: the file's picture is drawn into the lower cell of the
// new, white control (at row `pictureTop`), which cuts off what lies beyond
// it; the upper cell receives its mask later.
void TSvelmia::LoadStrip(vcl::TImage* strip, const char* fileName, int height, int pictureTop)
{
    TBitmap loaded;
    LoadRequiredBitmap(loaded, fileName);
    strip->GetCanvas()->CopyMode = vcl::SRCCOPY;
    strip->SetHeight(height);
    strip->GetBitmap()->SetPixelFormat(vcl::pf24bit);
    strip->GetCanvas()->Draw(0, pictureTop, &loaded);
}

// An alternative hair style: the picture (which keeps its created size, padded
// with white or cut), its mask, and the 243 x 123 cut-outs over the eye patch
// when `eyePicture` is given. Returns false when any of it failed.
bool TSvelmia::LoadAlternativeHair(const char* fileName, TBitmap* picture, TBitmap* mask, TBitmap* eyePicture,
                                   TBitmap* eyeMask)
{
    const int width = picture->GetWidth();
    const int height = picture->GetHeight();
    try {
        picture->LoadFromFile(fileName);
        velmia::assets::LayOverWhite(*picture);
        FitToSize(picture, {width, height});
        MakeMaskable(picture);
        mask->SetPixelFormat(vcl::pf8bit);
        mask->SetPalette(vcl::CreatePalette(BlackWhitePalette));
        mask->SetSize(width, height);
        MakeWhiteMaskFromBitmap(mask, picture, Rect(0, 0, width, height), Rect(0, 0, width, height));
        if (eyePicture && eyeMask) {
            const vcl::TRect eye = layout::kEyePatch;
            const vcl::TRect cut = Rect(88, 0, 331, 123);
            eyePicture->SetSize(layout::kEyeWidth, layout::kEyeHeight);
            eyePicture->GetCanvas()->CopyMode = vcl::SRCCOPY;
            eyePicture->GetCanvas()->CopyRect(eye, picture->GetCanvas(), cut);
            eyeMask->SetPixelFormat(vcl::pf8bit);
            eyeMask->SetPalette(vcl::CreatePalette(BlackWhitePalette));
            eyeMask->SetSize(layout::kEyeWidth, layout::kEyeHeight);
            eyeMask->GetCanvas()->CopyMode = vcl::SRCCOPY;
            eyeMask->GetCanvas()->CopyRect(eye, mask->GetCanvas(), cut);
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// Background, streaming picture and star list of the night scene, all
// optional; the star list is only tried when the background loaded. The
// background keeps the size of its file; the shooting star and the star list
// take the size they are read at.
void TSvelmia::LoadNightSky()
{
    try {
        LoadPicture(Background, "vlm_background.bmp", PictureSize{});
        BackgroundRect = Background->GetCanvas()->ClipRect();
        BackgroundRectCopy = BackgroundRect;
        BackgroundMask = NewMaskBitmap(BackgroundRect.Width(), BackgroundRect.Height());
        Background->GetBitmap()->SetPixelFormat(vcl::pf24bit);
        MakeWhiteMaskFromImage(BackgroundMask.get(), Background, BackgroundRect, BackgroundRect);
    } catch (const std::exception&) {
        BackgroundLoaded = false;
        BackgroundMask.reset();
    }

    try {
        Streaming->GetBitmap()->SetPixelFormat(vcl::pf24bit);
        LoadPicture(Streaming, "vlm_streaming.bmp", {StreamingRect.Right, StreamingRect.Bottom});
    } catch (const std::exception&) {
        StreamingLoaded = false;
    }

    if (BackgroundLoaded) {
        try {
            LoadPicture(StarList, "vlm_starlist.bmp", {StarWidth, layout::kStarCells * StarHeight});
            StarListLoaded = true;
        } catch (const std::exception&) {
        }
    }

    if (StreamingLoaded) {
        StreamingMask = NewMaskBitmap(StreamingRect.Width(), StreamingRect.Height());
        MakeWhiteMaskFromImage(StreamingMask.get(), Streaming, StreamingRect, StreamingRect);
    }

    if (StarListLoaded) {
        StarListMask = NewMaskBitmap(StarWidth, layout::kStarCells * StarHeight);
        StarListRect.Bottom = layout::kStarCells * StarHeight;
        MakeWhiteMaskFromImage(StarListMask.get(), StarList, StarListRect, StarListRect);
        StarCell = std::make_unique<TBitmap>(StarWidth, StarHeight);
    }
}

// The two face lists: columns of 279 x 123 cells. A list shorter than one
// cell would leave no face to show (and the face counters without a bound),
// so it is refused like an unreadable file. The face list's height gives the
// number of faces; the long-hair list is read at that height, so a face it
// lacks is white, as is a column either list lacks.
void TSvelmia::LoadFaceLists()
{
    FaceList = std::make_unique<TBitmap>();
    FaceListLarge = std::make_unique<TBitmap>();
    FaceWorkB = std::make_unique<TBitmap>();
    FaceWorkC = std::make_unique<TBitmap>();
    // The faces are only ever copied, so they keep the format of their files.
    LoadRequiredBitmap(*FaceList, RequiredPicture(Required::FaceList), false);
    LoadRequiredBitmap(*FaceListLarge, RequiredPicture(Required::LargeFaceList), false);
    FaceListHeight = FaceList->GetCanvas()->ClipRect().Bottom;
    if (FaceListHeight < FaceCellHeight)
        ThrowUnusable(RequiredPicture(Required::FaceList), "the face list is " + std::to_string(FaceListHeight) +
                                                               " rows high, less than one face of " +
                                                               std::to_string(FaceCellHeight) + " rows");
    FitToSize(FaceList.get(), {FaceWidth, FaceListHeight});
    FitToSize(FaceListLarge.get(), {FaceWidth, FaceListHeight});
    FaceCount = FaceListHeight / FaceCellHeight;
    FaceWorkA = std::make_unique<TBitmap>();
    FaceWorkA->SetSize(FaceWidth, FaceListHeight);
    FaceWorkB->SetSize(FaceWidth, FaceListHeight);
    FaceWorkC->SetSize(FaceWidth, FaceListHeight);
    FaceWorkB->GetCanvas()->CopyMode = vcl::SRCCOPY;
    FaceWorkB->GetCanvas()->CopyRect(Rect(0, 0, FaceWidth, FaceListHeight), FaceList->GetCanvas(),
                                     Rect(0, 0, FaceWidth, FaceListHeight));
}
