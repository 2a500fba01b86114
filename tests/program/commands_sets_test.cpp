// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Selection sets, colour edits and saving: set copies are exact, W exchanges
// the figures and back, the hem and scene colours land in their areas, and
// what is saved loads back as the same picture.
#include "tests/program/commands_support.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace vcl;

namespace velmia::test {

class SetsTest : public CommandTest {
public:
    // Every member of the main set and the main figure's ten pictures.
    std::vector<uint64_t> MainSet()
    {
        const PortraitState& s = S();
        std::vector<uint64_t> v;
        for (int64_t x : Fingerprint())
            v.push_back(uint64_t(x));
        for (TImage* i :
             {form_->Choker, form_->Costume, form_->Camisole, form_->FlowerPict, form_->HairBand, form_->Ribborn})
            v.push_back(Digest(i->GetBitmap()));
        for (TBitmap* b : {s.CamisoleMask.get(), s.FaceWorkB.get(), s.HairBandMask.get(), s.RibbonMask.get()})
            v.push_back(Digest(b));
        return v;
    }
    std::vector<uint64_t> LeftPictures()
    {
        const PortraitState& s = S();
        std::vector<uint64_t> v;
        for (TBitmap* b : {s.ChokerWork.get(), s.CostumeWork.get(), s.CamisoleWork.get(), s.CamisoleWorkMask.get(),
                           s.FaceWorkC.get(), s.FlowerWork.get(), s.HairBandWork.get(), s.HairBandWorkMask.get(),
                           s.RibbonWork.get(), s.RibbonWorkMask.get()})
            v.push_back(Digest(b));
        return v;
    }
    void Paint(TBitmap* b, TColor c)
    {
        b->GetCanvas()->Brush.Color = c;
        b->GetCanvas()->FillRect(Rect(0, 0, b->GetWidth(), b->GetHeight()));
    }
};

TEST_F(SetsTest, SaveThenRestoreGivesTheMainSetBack)
{
    StartPortrait();
    S().FlowerShown = true;
    S().EarringIndex = 3;
    const auto before = MainSet();
    form_->SaveMainSet();
    S().FlowerShown = false;
    S().EarringIndex = 1;
    S().LongHair = true;
    Paint(form_->Costume->GetBitmap(), 0x00112233);
    Paint(S().RibbonMask.get(), clBlack);
    Paint(S().FaceWorkB.get(), 0x00445566);
    ASSERT_NE(MainSet(), before);
    form_->RestoreMainSet();
    EXPECT_EQ(MainSet(), before);
}

TEST_F(SetsTest, CopyToLeftCopiesMembersAndPictures)
{
    StartPortrait();
    S().ChokerShown = true;
    S().StringPatternIndex = 2;
    form_->CopyMainToLeft();
    EXPECT_TRUE(S().LeftChokerShown);
    EXPECT_EQ(S().LeftStringPatternIndex, 2);
    EXPECT_EQ(Digest(S().CostumeWork.get()), Digest(form_->Costume->GetBitmap()));
    EXPECT_EQ(Digest(S().FaceWorkC.get()), Digest(S().FaceWorkB.get()));
    EXPECT_EQ(Digest(S().RibbonWorkMask.get()), Digest(S().RibbonMask.get()));
}

TEST_F(SetsTest, ExchangingTheShowFiguresTwiceGivesBothBack)
{
    StartPortrait();
    EnterShow();
    Type('K');                                // the left figure wears the choker ...
    Paint(S().CostumeWork.get(), 0x00336699); // ... and its own costume
    const int cycle = S().CycleCounter;
    const int scene = S().SceneIndex;
    const auto both = MainSet(); // the fingerprint holds the left set too
    const auto left = LeftPictures();

    Type('W');
    EXPECT_TRUE(S().ChokerShown);
    EXPECT_FALSE(S().LeftChokerShown);
    EXPECT_EQ(Px(form_->Costume, 10, 50), 0x00336699);

    Type('W');
    // Each key asked for a redraw, which in the show brings the next scene:
    // K's and the first W's count as drawn when the next key comes.
    EXPECT_EQ(S().SceneIndex, (scene + 2) % 8);
    S().CycleCounter = cycle;
    S().SceneIndex = scene;
    EXPECT_EQ(MainSet(), both);
    EXPECT_EQ(LeftPictures(), left);
}

// ---- Colour edits -----------------------------------------------------------------

TEST_F(SetsTest, HemColourFollowsThePatternInItsSixAreas)
{
    StartPortrait();
    // A pattern black everywhere shows exactly which pixels are scanned.
    Paint(form_->HerimPattern->GetBitmap(), clBlack);
    const TColor old = 0x00010203;
    Paint(S().CostumePicture.get(), old);
    host_.ScriptColor(0x0000FF00);
    Type('2');
    ASSERT_EQ(host_.Dialogs().size(), 1u);
    EXPECT_EQ(host_.Dialogs()[0].Color, clBlack) << "the hem dialog starts black";
    struct Probe {
        int x, y;
        bool painted;
    };
    const Probe probes[] = {
        {0, 0, true},     {499, 60, true},  {500, 60, false},  {469, 61, false},  {470, 61, true},
        {529, 99, true},  {0, 99, false},   {0, 100, true},    {529, 160, false}, {470, 199, true},
        {499, 260, true}, {529, 261, true}, {469, 299, false}, {529, 299, true},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(Px(form_->Costume, p.x, p.y), p.painted ? 0x0000FF00 : old) << p.x << "," << p.y;
    EXPECT_TRUE(form_->RedrawPending());

    // The next time the dialog opens with the colour chosen last.
    host_.ScriptCancel();
    Type('2');
    EXPECT_EQ(host_.Dialogs().back().Color, 0x0000FF00);
}

TEST_F(SetsTest, SceneColourPaintsTheCellOnScreen)
{
    struct Case {
        int sceneIndex, firstRow;
    };
    StartPortrait();
    bool first = true;
    for (const Case c : {Case{3, 75}, Case{0, 450}}) {
        SCOPED_TRACE(c.sceneIndex);
        Tick(); // the redraw the case before asked for
        S().SceneIndex = c.sceneIndex;
        const TColor colour = 0x00A0B0C0 + c.sceneIndex;
        host_.ScriptColor(colour);
        host_.ClearRecords();
        TBitmap* list = form_->SceneList->GetBitmap();
        const TColor above = Px(list, 0, c.firstRow - 1);
        const TColor right = Px(list, 75, c.firstRow);
        Type('1');
        ASSERT_EQ(host_.Dialogs().size(), 1u);
        if (first) {
            EXPECT_EQ(host_.Dialogs()[0].Color, 0xFF00FF) << "the scene dialog starts fuchsia";
        }
        first = false;
        EXPECT_EQ(Px(list, 0, c.firstRow), colour);
        EXPECT_EQ(Px(list, 74, c.firstRow + 74), colour);
        EXPECT_EQ(Px(list, 0, c.firstRow - 1), above);
        EXPECT_EQ(Px(list, 75, c.firstRow), right);
        EXPECT_EQ(S().SceneIndex, c.sceneIndex == 0 ? 7 : c.sceneIndex - 1) << "stepped back for the redraw";
    }
}

// ---- Saving ------------------------------------------------------------------------

TEST_F(SetsTest, SavedSceneListLoadsBackAsTheSamePicture)
{
    StartPortrait();
    host_.ScriptColor(0x00123456);
    Type('1');
    const uint64_t painted = Digest(form_->SceneList->GetBitmap());
    host_.ScriptSaveDialog("");
    Type('d');
    ASSERT_EQ(host_.Dialogs().back().FileName, "vlm_scenelist");
    ASSERT_TRUE(std::filesystem::exists(Folder() / "vlm_scenelist.bmp"));

    Paint(form_->SceneList->GetBitmap(), clWhite);
    host_.ScriptOpenDialog("vlm_scenelist.bmp");
    Type('^');
    EXPECT_EQ(Digest(form_->SceneList->GetBitmap()), painted);
    EXPECT_EQ(S().SceneListFileName, "vlm_scenelist.bmp");
}

TEST_F(SetsTest, SaveCostumeProposesTheCostumeLoadedLast)
{
    StartPortrait();
    host_.ScriptSaveDialog("vlm_co5");
    Type('s');
    EXPECT_EQ(host_.Dialogs().back().FileName, "vlm_co");
    EXPECT_EQ(host_.Dialogs().back().Filter, "costume files|vlm_co.bmp;vlm_co?.bmp;vlm_co??.bmp");

    const std::string path = (Folder() / "vlm_co5.bmp").string();
    host_.ScriptOpenDialog(path);
    Type('\\');
    host_.ScriptColor(0x000000FF);
    Type('2');
    const uint64_t recoloured = Digest(form_->Costume->GetBitmap());
    host_.ScriptSaveDialog("");
    Type('s');
    EXPECT_EQ(host_.Dialogs().back().FileName, path);

    Paint(form_->Costume->GetBitmap(), clWhite);
    host_.ScriptOpenDialog(path);
    Type('\\');
    EXPECT_EQ(Digest(form_->Costume->GetBitmap()), recoloured);
}

// ---- A costume keeps its own file ---------------------------------------------------

struct CostumeFileRow {
    const char* name;
    int width, height;
    TPixelFormat format;
    bool alpha = false; // the fourth byte is alpha (else padding)
};

const CostumeFileRow kCostumeFiles[] = {
    {"larger", 600, 340, pf24bit},        {"smaller_paletted", 265, 150, pf8bit}, {"paletted", 530, 300, pf8bit},
    {"smaller_32bit", 400, 120, pf32bit}, {"alpha", 560, 280, pf32bit, true},
};

// A costume with a different colour in every pixel (24- and 32-bit; the
// fourth byte every value, alpha or padding) or a 16-colour palette used in
// stripes (8-bit).
void WriteCostume(const std::string& path, const CostumeFileRow& row)
{
    TBitmap b(row.width, row.height, row.format);
    b.SetHasAlpha(row.alpha);
    if (row.format == pf8bit) {
        TPalette palette;
        for (int i = 0; i < 16; ++i)
            palette.push_back({uint8_t(16 * i), uint8_t(255 - 12 * i), uint8_t(40 + 9 * i), 0});
        b.SetPalette(palette);
    }
    for (int y = 0; y < row.height; ++y) {
        uint8_t* line = b.ScanLine(y);
        const int bytes = row.format == pf8bit ? row.width : row.width * (row.format == pf32bit ? 4 : 3);
        for (int x = 0; x < bytes; ++x)
            line[x] = row.format == pf8bit ? uint8_t((x / 7 + y / 5) % 16) : uint8_t(x * 7 + y * 13);
    }
    b.SaveToFile(path);
}

// A pixel of a picture with alpha as the window shows it: less than half
// opaque is white, the rest laid over white.
TColor OverWhite(const TBitmap& b, int x, int y)
{
    const uint8_t* p = b.ScanLine(y) + 4 * x;
    if (!b.HasAlpha() || p[3] == 255)
        return b.GetPixelColor(x, y);
    if (p[3] < 128)
        return clWhite;
    auto over = [a = p[3]](uint8_t c) { return uint32_t(255 - ((255 - c) * a + 127) / 255); };
    return TColor(over(p[2]) | over(p[1]) << 8 | over(p[0]) << 16);
}

// The palette entry nearest `c`.
TColor PaletteColour(const TBitmap& b, TColor c)
{
    const TPaletteEntry e = b.GetPalette()[size_t(NearestPaletteIndex(b.GetPalette(), c))];
    return TColor(e.peRed | e.peGreen << 8 | e.peBlue << 16);
}

void ExpectSamePicture(const TBitmap& a, const TBitmap& b)
{
    ASSERT_EQ(a.GetWidth(), b.GetWidth());
    ASSERT_EQ(a.GetHeight(), b.GetHeight());
    ASSERT_EQ(a.GetPixelFormat(), b.GetPixelFormat());
    ASSERT_EQ(a.GetPalette().size(), b.GetPalette().size());
    for (size_t i = 0; i < a.GetPalette().size(); ++i) {
        const TPaletteEntry &p = a.GetPalette()[i], &q = b.GetPalette()[i];
        EXPECT_TRUE(p.peRed == q.peRed && p.peGreen == q.peGreen && p.peBlue == q.peBlue) << "entry " << i;
    }
    const int pixelBytes = a.GetPixelFormat() == pf8bit ? 1 : a.GetPixelFormat() == pf32bit ? 4 : 3;
    for (int y = 0; y < a.GetHeight(); ++y)
        ASSERT_EQ(std::memcmp(a.ScanLine(y), b.ScanLine(y), size_t(a.GetWidth() * pixelBytes)), 0) << "row " << y;
}

class CostumeFileTest : public SetsTest, public ::testing::WithParamInterface<CostumeFileRow> {};

// Load and save give the user's file back in its own size, depth and palette;
// the window shows it as a 530 x 300 cell (white outside the file, cropped
// beyond it); a hem colour changes only hem pixels, within the file.
TEST_P(CostumeFileTest, SaveKeepsTheFileAndTheCellShowsIt)
{
    const CostumeFileRow& row = GetParam();
    StartPortrait();
    const std::string path = (Folder() / "vlm_co7.bmp").string();
    WriteCostume(path, row);
    TBitmap original;
    original.LoadFromFile(path);

    // The same picture as a 24-bit 530 x 300 cell made here.
    TBitmap cell(530, 300, pf24bit);
    cell.GetCanvas()->Brush.Color = clWhite;
    cell.GetCanvas()->FillRect(Rect(0, 0, 530, 300));
    cell.GetCanvas()->Draw(0, 0, &original);
    for (int y = 0; y < std::min(row.height, 300) && row.alpha; ++y)
        for (int x = 0; x < std::min(row.width, 530); ++x)
            cell.SetPixelColor(x, y, OverWhite(original, x, y));
    cell.SaveToFile((Folder() / "vlm_co8.bmp").string());
    host_.ScriptOpenDialog((Folder() / "vlm_co8.bmp").string());
    Type('\\');
    Compose();
    const uint64_t window = Digest(&host_.WindowPicture());

    host_.ScriptOpenDialog(path);
    Type('\\');
    Compose();
    EXPECT_EQ(Digest(&host_.WindowPicture()), window);
    host_.ScriptSaveDialog("");
    Type('s');
    ASSERT_EQ(host_.Dialogs().back().FileName, path);
    ASSERT_TRUE(host_.MessageBoxes().empty());
    TBitmap saved;
    saved.LoadFromFile(path);
    ExpectSamePicture(saved, original);
    EXPECT_EQ(saved.HasAlpha(), row.alpha);

    // A hem colour: only pixels inside the file and under the hem pattern.
    host_.ScriptColor(0x000000FF);
    Type('2');
    host_.ScriptSaveDialog("");
    Type('s');
    saved.LoadFromFile(path);
    ASSERT_EQ(saved.GetWidth(), row.width);
    ASSERT_EQ(saved.GetHeight(), row.height);
    ASSERT_EQ(saved.GetPixelFormat(), row.format);
    const TColor hem = row.format == pf8bit ? PaletteColour(original, 0x000000FF) : TColor(0x000000FF);
    int changed = 0;
    for (int y = 0; y < row.height; ++y)
        for (int x = 0; x < row.width; ++x) {
            const TColor now = saved.GetPixelColor(x, y);
            // Where the hem colour is not painted a costume keeps its alpha;
            // a painted pixel is opaque.
            const uint8_t alpha = row.alpha ? saved.ScanLine(y)[4 * x + 3] : 0;
            if (now == original.GetPixelColor(x, y)) {
                if (row.alpha && alpha != original.ScanLine(y)[4 * x + 3]) {
                    ASSERT_EQ(alpha, 255) << x << "," << y;
                }
                continue;
            }
            if (row.alpha) {
                ASSERT_EQ(alpha, 255) << x << "," << y;
            }
            ++changed;
            ASSERT_EQ(Px(form_->HerimPattern, x, y), clBlack) << x << "," << y;
            ASSERT_EQ(now, hem) << x << "," << y;
        }
    EXPECT_GT(changed, 0);
    // The cell on screen wears the saved colours.
    for (int y = 0; y < std::min(row.height, 300); y += 3)
        for (int x = 0; x < std::min(row.width, 530); x += 3)
            ASSERT_EQ(Px(form_->Costume, x, y), OverWhite(saved, x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Files, CostumeFileTest, ::testing::ValuesIn(kCostumeFiles),
                         [](const ::testing::TestParamInfo<CostumeFileRow>& info) { return info.param.name; });

// ---- The costume's file goes where the costume goes ---------------------------------

// One step of a route: a key (with the file its open dialog is given), a pick
// in the costume browser (Shift in the show: for the left figure), or a
// double-click beside the figures.
struct RouteStep {
    enum { Key, Pick, DoubleClick } what = Key;
    char key = 0;
    const char* file = nullptr;
    bool shift = false;
};

RouteStep Load(char key, const char* file)
{
    return {RouteStep::Key, key, file};
}
RouteStep PickCostume(const char* file, bool shift = false)
{
    return {RouteStep::Pick, 0, file, shift};
}

struct CostumeRouteRow {
    const char* name;
    std::vector<RouteStep> steps;
    const char* proposal; // a file name, or "" for the bare vlm_co (the start-up costume's)
};

const RouteStep q{RouteStep::Key, 'q'}, w{RouteStep::Key, 'w'}, W{RouteStep::Key, 'W'};

// Every way a costume moves between the main figure, the left figure and the
// saved set: q out of the show and back, w, the exchange W, the left loads
// (_ and |), the browser with and without Shift, the double-click.
const CostumeRouteRow kCostumeRoutes[] = {
    {"start_up", {}, ""},
    {"main_load", {Load('\\', "vlm_co3.bmp")}, "vlm_co3.bmp"},
    {"browser_pick", {PickCostume("vlm_co3.bmp")}, "vlm_co3.bmp"},
    {"copied_to_the_left", {Load('\\', "vlm_co3.bmp"), q}, "vlm_co3.bmp"},
    {"left_load_stays_left", {q, w, Load('_', "vlm_co5.bmp"), w}, ""},
    {"left_load_taken_out", {q, w, Load('|', "vlm_co5.bmp"), q}, "vlm_co5.bmp"},
    {"left_taken_out_by_double_click", {q, w, Load('_', "vlm_co5.bmp"), {RouteStep::DoubleClick}}, "vlm_co5.bmp"},
    {"left_shift_pick_taken_out", {q, w, PickCostume("vlm_co5.bmp", true), q}, "vlm_co5.bmp"},
    {"exchanged", {Load('\\', "vlm_co3.bmp"), q, w, Load('_', "vlm_co5.bmp"), W, w}, "vlm_co5.bmp"},
    {"exchanged_twice", {Load('\\', "vlm_co3.bmp"), q, w, Load('_', "vlm_co5.bmp"), W, W, w}, "vlm_co3.bmp"},
    {"taken_out_and_back", {Load('\\', "vlm_co3.bmp"), q, w, Load('_', "vlm_co5.bmp"), q, q, w}, "vlm_co3.bmp"},
};

class CostumeRouteTest : public SetsTest, public ::testing::WithParamInterface<CostumeRouteRow> {
protected:
    // Double-clicks `file` in the open browser, turning its pages as a user would.
    void PickInBrowser(const std::string& file, bool shift)
    {
        const PortraitState& s = S();
        ASSERT_TRUE(s.BrowserOpen);
        int index = 0;
        std::string name;
        while (form_->NameAt(index, name) && name != file)
            ++index;
        ASSERT_EQ(name, file) << "not listed";
        const int perPage = form_->BrowserPageSize();
        while (s.BrowserPage < index / perPage)
            host_.PressKey(VK_NEXT);
        const int slot = index % perPage;
        const int perRow = (760 - s.ThumbWidth) / (s.ThumbWidth + 10) + 1;
        host_.SetShift(shift);
        host_.DoubleClick(form_->DispTargetsScreen->GetLeft() + (slot % perRow) * (s.ThumbWidth + 10) + 5,
                          form_->DispTargetsScreen->GetTop() + (slot / perRow) * (s.ThumbHeight + 10) + 5);
        host_.SetShift(false);
        ASSERT_FALSE(s.BrowserOpen);
    }
};

std::string FileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Wherever the costume went, s proposes the file the main figure's costume
// came from, and accepting it writes no file's costume over another file:
// every costume file holds its own picture afterwards.
TEST_P(CostumeRouteTest, SaveProposesTheFileOfTheMainFiguresCostume)
{
    const CostumeRouteRow& row = GetParam();
    // Three costume files that tell apart: the start-up one and two more.
    const CostumeFileRow files[] = {
        {"vlm_co.bmp", 530, 300, pf24bit}, {"vlm_co3.bmp", 600, 340, pf24bit}, {"vlm_co5.bmp", 265, 150, pf8bit}};
    std::vector<std::string> bytes;
    for (const CostumeFileRow& f : files) {
        WriteCostume((Folder() / f.name).string(), f);
        bytes.push_back(FileBytes(Folder() / f.name));
    }
    StartPortrait();
    for (const RouteStep& step : row.steps) {
        switch (step.what) {
        case RouteStep::Key:
            if (step.file)
                host_.ScriptOpenDialog((Folder() / step.file).string());
            Type(step.key);
            break;
        case RouteStep::Pick:
            host_.PressKey(VK_F2);
            PickInBrowser(step.file, step.shift);
            break;
        case RouteStep::DoubleClick:
            host_.DoubleClick(400, 100);
            break;
        }
        ASSERT_TRUE(host_.MessageBoxes().empty()) << host_.MessageBoxes()[0].Text;
        Tick();
    }
    ASSERT_FALSE(S().ShowMode);
    host_.ScriptSaveDialog("");
    Type('s');
    ASSERT_EQ(host_.Dialogs().back().Kind, TDialogKind::Save);
    // The path the file was chosen under (the browser's names are the
    // working folder's).
    const std::string offered = host_.Dialogs().back().FileName;
    if (*row.proposal) {
        EXPECT_EQ(std::filesystem::absolute(offered), Folder() / row.proposal) << offered;
    } else {
        EXPECT_EQ(offered, "vlm_co");
    }
    EXPECT_TRUE(host_.MessageBoxes().empty());
    for (size_t i = 0; i < std::size(files); ++i)
        EXPECT_TRUE(FileBytes(Folder() / files[i].name) == bytes[i]) << files[i].name << " holds another picture";
}

INSTANTIATE_TEST_SUITE_P(Routes, CostumeRouteTest, ::testing::ValuesIn(kCostumeRoutes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetsTest, FailedSaveNamesThePathAndKeepsTheOldFile)
{
    StartPortrait();
    // A folder where the file should be: the write cannot replace it.
    std::filesystem::create_directory(Folder() / "vlm_co9.bmp");
    const std::string path = (Folder() / "vlm_co9.bmp").string();
    host_.ScriptSaveDialog(path);
    Type('s');
    ASSERT_EQ(host_.MessageBoxes().size(), 1u);
    EXPECT_NE(host_.MessageBoxes()[0].Text.find(path), std::string::npos) << host_.MessageBoxes()[0].Text;
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_FALSE(S().Busy);
    EXPECT_TRUE(form_->Timer1->GetEnabled());

    // A file in a folder that does not exist.
    const std::string missing = (Folder() / "no-such-folder" / "vlm_scenelist.bmp").string();
    host_.ScriptSaveDialog(missing);
    Type('d');
    ASSERT_EQ(host_.MessageBoxes().size(), 2u);
    EXPECT_NE(host_.MessageBoxes()[1].Text.find(missing), std::string::npos);
}

} // namespace velmia::test
