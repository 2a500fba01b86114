// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Files that are not what their names say, and files in another format than
// the default pictures: a pipe named like a part file is refused at once
// wherever the program opens it, and a scene list stored with a palette keeps
// its format through start-up, the night sky, recolouring and saving.
#include "tests/program/ProgramFixture.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

using namespace vcl;

namespace velmia::test {
namespace {

class SpecialFileTest : public ProgramTest {
protected:
    void MakePipe(const std::string& name)
    {
        ASSERT_EQ(::mkfifo((Folder() / name).c_str(), 0600), 0) << std::strerror(errno);
    }
    void StartPortrait()
    {
        form_ = Start();
        ASSERT_FALSE(host_.StartupFailed());
        host_.FireTimer(form_->Timer1);
        Compose();
    }
    void Compose()
    {
        form_->RequestRedraw();
        host_.FireTimer(form_->Timer1);
    }
    // The one message box, which must name the file and say why.
    void ExpectRefusal(const std::string& file)
    {
        ASSERT_EQ(host_.MessageBoxes().size(), 1u);
        const std::string& text = host_.MessageBoxes()[0].Text;
        EXPECT_NE(text.find(file), std::string::npos) << text;
        EXPECT_NE(text.find("not a regular file"), std::string::npos) << text;
    }

    TSvelmia* form_ = nullptr;
};

TEST_F(SpecialFileTest, PipeAsARequiredPictureStopsStartUpWithItsReason)
{
    RemoveFile("vlm_co.bmp");
    MakePipe("vlm_co.bmp");
    form_ = Start();
    EXPECT_TRUE(host_.StartupFailed());
    ExpectRefusal("vlm_co.bmp");
}

TEST_F(SpecialFileTest, PipeChosenInAnOpenDialogIsRefused)
{
    MakePipe("vlm_co_pipe.bmp");
    StartPortrait();
    const std::string name = form_->State().CostumeFileName;
    host_.ScriptOpenDialog("vlm_co_pipe.bmp");
    host_.TypeChar('\\');
    ExpectRefusal("vlm_co_pipe.bmp");
    EXPECT_EQ(form_->State().CostumeFileName, name);
    EXPECT_FALSE(form_->State().Busy);
    EXPECT_TRUE(form_->Timer1->GetEnabled());
}

// The browser lists the pipe (its name matches) as an unreadable grey cell;
// picking it says why and leaves the costume as it was.
TEST_F(SpecialFileTest, PipeInThePartBrowserIsAGreyCellAndRefusedWhenPicked)
{
    MakePipe("vlm_co_pipe.bmp");
    StartPortrait();
    host_.PressKey(VK_F2);
    ASSERT_TRUE(form_->State().BrowserOpen);
    ASSERT_EQ(form_->State().BrowserCount, 2);
    const int second = form_->State().ThumbWidth + 10;
    EXPECT_EQ(form_->DispTargetsScreen->GetBitmap()->GetPixelColor(second + 5, 5), TColor(0xC0C0C0));
    const uint64_t before = form_->Costume->GetBitmap()->GetPixelColor(100, 15);
    host_.DoubleClick(20 + second + 5, 40 + 5);
    EXPECT_FALSE(form_->State().BrowserOpen);
    ExpectRefusal("vlm_co_pipe.bmp");
    EXPECT_EQ(uint64_t(form_->Costume->GetBitmap()->GetPixelColor(100, 15)), before);
}

// ---- A scene list stored with a palette -------------------------------------------

constexpr int kTile = 75;
constexpr int kTiles = 10;

bool SamePalette(const TPalette& a, const TPalette& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
               return x.peRed == y.peRed && x.peGreen == y.peGreen && x.peBlue == y.peBlue;
           });
}

// Ten tiles of two colours each (a sky and a motif), from a 16-colour palette.
std::unique_ptr<TBitmap> PalettedSceneList()
{
    auto list = std::make_unique<TBitmap>();
    TBitmap& b = *list;
    b.SetPixelFormat(pf8bit);
    TPalette palette(16);
    for (int i = 0; i < 16; ++i)
        palette[size_t(i)] = {uint8_t(15 * i), uint8_t(255 - 13 * i), uint8_t(40 + 10 * i), 0};
    b.SetPalette(palette);
    b.SetSize(kTile, kTile * kTiles);
    for (int y = 0; y < kTile * kTiles; ++y) {
        uint8_t* row = b.ScanLine(y);
        const int tile = y / kTile;
        for (int x = 0; x < kTile; ++x) {
            const bool motif = x > 20 && x < 50 && y % kTile > 30 && y % kTile < 60;
            row[x] = uint8_t(motif ? (tile + 5) % 16 : tile);
        }
    }
    return list;
}

class PalettedSceneListTest : public SpecialFileTest {
protected:
    void WriteSceneList(const TBitmap& b) { WriteBmpFile((Folder() / "vlm_scene_list.bmp").string(), b); }

    // Every scene in turn, with the eyes closed so the night scene cuts the
    // figure out of its sky; the window after each composition.
    std::vector<std::vector<TColor>> Scenes()
    {
        HeadlessHost host;
        TSvelmia* form = host.StartForm<TSvelmia>();
        EXPECT_FALSE(host.StartupFailed());
        host.FireTimer(form->Timer1);
        host.TypeChar('x');
        std::vector<std::vector<TColor>> windows;
        for (int scene = 0; scene < 8; ++scene) {
            form->RequestRedraw();
            host.FireTimer(form->Timer1, 2);
            const TBitmap& w = host.WindowPicture();
            std::vector<TColor> pixels;
            for (int y = 0; y < 300; ++y)
                for (int x = 0; x < 800; ++x)
                    pixels.push_back(w.GetPixelColor(x, y));
            windows.push_back(std::move(pixels));
        }
        return windows;
    }
};

TEST_F(PalettedSceneListTest, PaletteIsKeptThroughStartUpRecolourAndSave)
{
    const auto owned = PalettedSceneList();
    const TBitmap& list = *owned;
    WriteSceneList(list);
    StartPortrait();
    const TBitmap* loaded = form_->SceneList->GetBitmap();
    EXPECT_EQ(loaded->GetPixelFormat(), pf8bit);
    EXPECT_TRUE(SamePalette(loaded->GetPalette(), list.GetPalette()));

    // A recolour takes the nearest palette entry: entry 9 is (135,138,130).
    while (form_->State().SceneIndex == 1 || !form_->State().PortraitComposed)
        Compose();
    // The scene on screen is SceneIndex - 1, in tile row SceneIndex - 2.
    int row = form_->State().SceneIndex - 2;
    if (row < 0)
        row = 6;
    host_.ScriptColor(TColor(0x00808689)); // red 137, green 134, blue 128
    host_.TypeChar('1');
    ASSERT_TRUE(host_.MessageBoxes().empty());
    const TBitmap* after = form_->SceneList->GetBitmap();
    EXPECT_EQ(after->GetPixelFormat(), pf8bit);
    EXPECT_EQ(std::as_const(*after).ScanLine(kTile * row + 40)[30], 9);

    host_.ScriptSaveDialog("vlm_scenelist9.bmp");
    host_.TypeChar('d');
    ASSERT_TRUE(host_.MessageBoxes().empty()) << host_.MessageBoxes()[0].Text;
    TBitmap saved;
    ReadBmpFile((Folder() / "vlm_scenelist9.bmp").string(), saved);
    EXPECT_EQ(saved.GetPixelFormat(), pf8bit);
    EXPECT_TRUE(SamePalette(saved.GetPalette(), list.GetPalette()));
    for (int y = 0; y < kTile * kTiles; y += 7)
        for (int x = 0; x < kTile; x += 5)
            ASSERT_EQ(saved.GetPixelColor(x, y), after->GetPixelColor(x, y)) << x << "," << y;
}

// The same colours stored with and without a palette give the same window in
// every scene, the night scene's sky key included.
TEST_F(PalettedSceneListTest, SameColoursGiveTheSameScenesWithOrWithoutAPalette)
{
    const auto owned = PalettedSceneList();
    const TBitmap& paletted = *owned;
    WriteSceneList(paletted);
    const auto withPalette = Scenes();
    TBitmap trueColour;
    trueColour.Assign(paletted);
    trueColour.SetPixelFormat(pf24bit);
    WriteSceneList(trueColour);
    const auto without = Scenes();
    ASSERT_EQ(withPalette.size(), without.size());
    for (size_t s = 0; s < without.size(); ++s) {
        size_t differences = 0;
        for (size_t i = 0; i < without[s].size(); ++i)
            differences += without[s][i] != withPalette[s][i];
        EXPECT_EQ(differences, 0u) << "composition " << s;
    }
}

} // namespace
} // namespace velmia::test
