// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Picking a part in the browser, for every kind of part and for both show
// figures: the members that change (and nothing else), the part picture and
// its mask, and the recomposed window. Function keys with no matching file.
#include "tests/program/pointer_support.h"
#include "tests/program/state_snapshot.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace vcl;

namespace velmia::test {
namespace {

constexpr TColor kPart = 0x00306090;

// Members the browser request fills and may leave behind.
const char* const kRequestMembers[] = {"BrowserKind", "BrowserPattern", "ThumbWidth",     "ThumbHeight", "PartWidth",
                                       "PartHeight",  "BrowserCount",   "ChosenPartFile", "ShiftDown"};

bool IsRequestMember(const std::string& name)
{
    for (const char* m : kRequestMembers)
        if (name == m)
            return true;
    return false;
}

struct Pixel {
    const char* picture; // a snapshot picture: a member or "image <name>"
    int x, y;
    TColor colour;
};

struct PickRow {
    const char* name;
    uint16_t vk;
    const char* file;
    int width, height;
    bool left; // in the show with Shift held at the double-click
    std::vector<std::pair<const char*, int64_t>> given;
    std::vector<std::pair<const char*, const char*>> changes; // "*": must change
    std::vector<Pixel> pixels;
    int windowX, windowY; // a window pixel of the part after the recomposition; -1 none
};

const PickRow kPicks[] = {
    {"Costume",
     VK_F2,
     "vlm_co_pick.bmp",
     530,
     300,
     false,
     {{"CamisoleShown", 1}},
     {{"image Costume", "*"},
      {"CostumePicture", "*"},
      {"CostumeMask", "*"},
      {"CostumeFileName", "vlm_co_pick.bmp"},
      {"CamisoleShown", "0"}},
     {{"image Costume", 100, 15, kPart}, {"CostumeMask", 100, 15, clBlack}},
     -1,
     -1},
    {"Camisole",
     VK_F3,
     "vlm_ca_pick.bmp",
     550,
     750,
     false,
     {},
     {{"image Camisole", "*"},
      {"CamisoleMask", "*"},
      {"CamisoleFileName", "vlm_ca_pick.bmp"},
      {"CamisoleShown", "1"},
      {"StringPatternOn", "0"}},
     {{"image Camisole", 20, 600, kPart}, {"CamisoleMask", 20, 600, clBlack}},
     150,
     400},
    {"HairbandAndItsMask",
     VK_F4,
     "vlm_hb_pick.bmp",
     80,
     100,
     false,
     {{"HairBandShown", 0}},
     {{"image HairBand", "*"}, {"HairBandMask", "*"}, {"HairBandFileName", "vlm_hb_pick.bmp"}, {"HairBandShown", "1"}},
     {{"image HairBand", 40, 50, kPart}, {"HairBandMask", 40, 50, clBlack}},
     520,
     50},
    {"FlowerOnTheHair",
     VK_F5,
     "vlm_fl_pick.bmp",
     100,
     120,
     false,
     {},
     {{"image FlowerPict", "*"}, {"FlowerFileName", "vlm_fl_pick.bmp"}, {"FlowerShown", "1"}},
     {{"image FlowerPict", 50, 180, kPart}, {"image FlowerPict", 50, 60, clBlack}},
     570,
     60},
    {"FlowerWithLongHairGoesOnTheChest",
     VK_F5,
     "vlm_fl_pick.bmp",
     100,
     120,
     false,
     {{"LongHair", 1}},
     {{"image FlowerPict", "*"}, {"FlowerFileName", "vlm_fl_pick.bmp"}, {"FlowerShown", "1"}, {"FlowerAlt", "1"}},
     {{"image FlowerPict", 50, 180, kPart}},
     478,
     300 + 140},
    {"Ribbon",
     VK_F6,
     "vlm_ri_pick.bmp",
     200,
     80,
     false,
     {{"RibbonShown", 0}},
     {{"image Ribborn", "*"}, {"RibbonMask", "*"}, {"RibbonFileName", "vlm_ri_pick.bmp"}, {"RibbonShown", "1"}},
     {{"image Ribborn", 100, 40, kPart}, {"RibbonMask", 100, 40, clBlack}},
     550,
     300 + 215},
    {"Choker",
     VK_F7,
     "vlm_ch_pick.bmp",
     150,
     150,
     false,
     {},
     {{"image Choker", "*"}, {"ChokerFileName", "vlm_ch_pick.bmp"}, {"ChokerShown", "1"}},
     {{"image Choker", 75, 225, kPart}, {"image Choker", 75, 75, clBlack}},
     425,
     300 + 50},
    // The left figure of the show.
    {"LeftCostume",
     VK_F2,
     "vlm_co_pick.bmp",
     530,
     300,
     true,
     {{"LeftCamisoleShown", 1}},
     {{"CostumeWork", "*"},
      {"LeftCostumePicture", "*"},
      {"CostumeWorkMask", "*"},
      {"LeftCostumeFileName", "vlm_co_pick.bmp"},
      {"LeftCamisoleShown", "0"}},
     {{"CostumeWork", 100, 15, kPart}, {"CostumeWorkMask", 100, 15, clBlack}},
     -1,
     -1},
    {"LeftCamisole",
     VK_F3,
     "vlm_ca_pick.bmp",
     550,
     750,
     true,
     {},
     {{"CamisoleWork", "*"},
      {"CamisoleWorkMask", "*"},
      {"CamisoleFileName", "vlm_ca_pick.bmp"},
      {"LeftCamisoleShown", "1"},
      {"LeftStringPatternOn", "0"}},
     {{"CamisoleWork", 20, 600, kPart}, {"CamisoleWorkMask", 20, 600, clBlack}},
     50,
     300 + 150},
    {"LeftHairbandAndItsMask",
     VK_F4,
     "vlm_hb_pick.bmp",
     80,
     100,
     true,
     {{"LeftHairBandShown", 0}},
     {{"HairBandWork", "*"},
      {"HairBandWorkMask", "*"},
      {"HairBandFileName", "vlm_hb_pick.bmp"},
      {"LeftHairBandShown", "1"}},
     {{"HairBandWork", 40, 50, kPart}, {"HairBandWorkMask", 40, 50, clBlack}},
     -1,
     -1},
    {"LeftFlowerWithLongHair",
     VK_F5,
     "vlm_fl_pick.bmp",
     100,
     120,
     true,
     {{"LeftLongHair", 1}},
     {{"FlowerWork", "*"}, {"FlowerFileName", "vlm_fl_pick.bmp"}, {"LeftFlowerShown", "1"}, {"LeftFlowerAlt", "1"}},
     {{"FlowerWork", 50, 180, kPart}, {"FlowerWork", 50, 60, clBlack}},
     -1,
     -1},
    {"LeftRibbon",
     VK_F6,
     "vlm_ri_pick.bmp",
     200,
     80,
     true,
     {{"LeftRibbonShown", 0}},
     {{"RibbonWork", "*"}, {"RibbonWorkMask", "*"}, {"RibbonFileName", "vlm_ri_pick.bmp"}, {"LeftRibbonShown", "1"}},
     {{"RibbonWork", 100, 40, kPart}, {"RibbonWorkMask", 100, 40, clBlack}},
     300,
     300 + 215},
    {"LeftChoker",
     VK_F7,
     "vlm_ch_pick.bmp",
     150,
     150,
     true,
     {},
     {{"ChokerWork", "*"}, {"ChokerFileName", "vlm_ch_pick.bmp"}, {"LeftChokerShown", "1"}},
     {{"ChokerWork", 75, 225, kPart}, {"ChokerWork", 75, 75, clBlack}},
     300,
     280},
};

class PickTest : public PointerTest, public ::testing::WithParamInterface<PickRow> {
protected:
    // The picture a snapshot name stands for.
    TBitmap* Picture(const std::string& name)
    {
        const PortraitState& s = form_->State();
        const std::map<std::string, TBitmap*> pictures = {
            {"image Costume", form_->Costume->GetBitmap()},
            {"image Camisole", form_->Camisole->GetBitmap()},
            {"image HairBand", form_->HairBand->GetBitmap()},
            {"image FlowerPict", form_->FlowerPict->GetBitmap()},
            {"image Ribborn", form_->Ribborn->GetBitmap()},
            {"image Choker", form_->Choker->GetBitmap()},
            {"CostumeMask", s.CostumeMask.get()},
            {"CostumeWorkMask", s.CostumeWorkMask.get()},
            {"CamisoleMask", s.CamisoleMask.get()},
            {"HairBandMask", s.HairBandMask.get()},
            {"RibbonMask", s.RibbonMask.get()},
            {"CostumeWork", s.CostumeWork.get()},
            {"CamisoleWork", s.CamisoleWork.get()},
            {"CamisoleWorkMask", s.CamisoleWorkMask.get()},
            {"HairBandWork", s.HairBandWork.get()},
            {"HairBandWorkMask", s.HairBandWorkMask.get()},
            {"FlowerWork", s.FlowerWork.get()},
            {"RibbonWork", s.RibbonWork.get()},
            {"RibbonWorkMask", s.RibbonWorkMask.get()},
            {"ChokerWork", s.ChokerWork.get()},
        };
        return pictures.at(name);
    }

    // Double-clicks the cell of `file` in the open browser.
    void Pick(const std::string& file, bool shift)
    {
        const PortraitState& s = form_->State();
        int index = 0;
        const char* p = s.BrowserNames.get();
        for (; *p && file != p; p += std::strlen(p) + 1)
            ++index;
        ASSERT_EQ(file, p) << "not listed";
        const int perRow = (760 - s.ThumbWidth) / (s.ThumbWidth + 10) + 1;
        const int x = (index % perRow) * (s.ThumbWidth + 10) + 5;
        const int y = (index / perRow) * (s.ThumbHeight + 10) + 5;
        host_.SetShift(shift);
        host_.DoubleClick(20 + x, 40 + y);
        host_.SetShift(false);
    }
};

TEST_P(PickTest, PickedFileDressesItsFigureAndNothingElseChanges)
{
    const PickRow& row = GetParam();
    StartPortrait();
    form_->RequestRedraw();
    Tick(); // composed: the counters step back from here
    if (row.left) {
        host_.TypeChar('q');
        host_.TypeChar('w');
        ASSERT_TRUE(S().ShowMode);
        Tick();
    }
    S().FaceAuto = true; // a step back shows in the face too
    for (const auto& [name, value] : row.given)
        ASSERT_TRUE(SetMember(S(), name, value)) << name;
    WritePicture(row.file, row.width, row.height, kPart);
    host_.ClearRecords();
    const Snapshot before = TakeSnapshot(*form_);

    Key(row.vk);
    ASSERT_TRUE(S().BrowserOpen);
    Pick(row.file, row.left);
    ASSERT_FALSE(S().BrowserOpen);
    EXPECT_TRUE(host_.MessageBoxes().empty());
    EXPECT_TRUE(form_->Timer1->GetEnabled());
    EXPECT_EQ(S().BrowserNames, nullptr);
    EXPECT_EQ(S().PartBitmap, nullptr);
    const Snapshot after = TakeSnapshot(*form_);

    // The closing: a step back and a redraw.
    std::map<std::string, std::string> want;
    want["CycleCounter"] = "600";
    want["RedrawAsked"] = "1";
    want["SceneIndex"] = std::to_string((std::stoi(before.at("SceneIndex")) + 7) % 8);
    // Back to the strawberry scene: the picture of it the composition chose
    // for the next round is undone as well.
    if (before.at("SceneIndex") == "1")
        want["AlternatePhase"] = before.at("AlternatePhase") == "1" ? "0" : "1";
    want["FaceIndex"] = std::to_string((std::stoi(before.at("FaceIndex")) + S().FaceCount - 1) % S().FaceCount);
    for (const auto& [name, value] : row.changes)
        want[name] = std::string(value) == "*" ? "*"
                     : std::strchr(value, '.') ? "\"" + std::string(value) + "\""
                                               : value;
    for (const auto& [name, value] : want) {
        if (value == "*")
            EXPECT_NE(after.at(name), before.at(name)) << name << " must change";
        else
            EXPECT_EQ(after.at(name), value) << name;
    }
    for (const auto& [name, value] : after)
        if (!want.count(name) && !IsRequestMember(name) && value != before.at(name)) {
            ADD_FAILURE() << "unexpected change of " << name << ": " << before.at(name) << " -> " << value;
        }

    for (const Pixel& px : row.pixels) {
        EXPECT_EQ(Picture(px.picture)->GetPixelColor(px.x, px.y), px.colour)
            << px.picture << " at " << px.x << "," << px.y;
    }

    Tick(); // recomposes with the new part
    if (row.windowX >= 0) {
        EXPECT_EQ(host_.WindowPixel(row.windowX, row.windowY), kPart);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PickTest, ::testing::ValuesIn(kPicks),
                         [](const ::testing::TestParamInfo<PickRow>& info) { return std::string(info.param.name); });

// ---- No file for the key ----------------------------------------------------------

struct NoFileRow {
    uint16_t vk;
    const char* prefix;
};
const NoFileRow kNoFile[] = {{VK_F2, "vlm_co"}, {VK_F3, "vlm_ca"}, {VK_F4, "vlm_hb"},
                             {VK_F5, "vlm_fl"}, {VK_F6, "vlm_ri"}, {VK_F7, "vlm_ch"}};

class NoPartFileTest : public PointerTest, public ::testing::WithParamInterface<NoFileRow> {};

TEST_P(NoPartFileTest, NothingOpensAndTheTickGoesOn)
{
    const NoFileRow& row = GetParam();
    StartPortrait();
    for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
        std::string name = entry.path().filename().string();
        for (char& c : name)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (name.rfind(row.prefix, 0) == 0 && name.size() >= 4 && name.substr(name.size() - 4) == ".bmp")
            std::filesystem::remove(entry.path());
    }
    host_.ClearRecords();
    const Snapshot before = TakeSnapshot(*form_);
    Key(row.vk);
    const Snapshot after = TakeSnapshot(*form_);
    for (const auto& [name, value] : after)
        if (!IsRequestMember(name)) {
            EXPECT_EQ(value, before.at(name)) << name;
        }
    EXPECT_EQ(after.at("BrowserCount"), "0");
    EXPECT_FALSE(S().BrowserOpen);
    EXPECT_FALSE(S().Busy);
    EXPECT_EQ(S().BrowserNames, nullptr);
    EXPECT_FALSE(form_->DispTargetsScreen->GetVisible());
    EXPECT_TRUE(host_.MessageBoxes().empty());
    EXPECT_TRUE(form_->Timer1->GetEnabled());
    EXPECT_EQ(Tick(), 1);
}

INSTANTIATE_TEST_SUITE_P(Keys, NoPartFileTest, ::testing::ValuesIn(kNoFile),
                         [](const ::testing::TestParamInfo<NoFileRow>& info) {
                             return std::string("F") + std::to_string(info.param.vk - VK_F1 + 1);
                         });

} // namespace
} // namespace velmia::test
