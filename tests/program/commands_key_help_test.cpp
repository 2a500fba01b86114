// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The help table against the real key handling: every character and key the
// table lists does something in the portrait, the close-up or the scene show,
// and every other one does nothing anywhere; a Shift or Ctrl form is listed
// exactly where it changes the outcome. The three documents written from the
// table keep their tables whole.
#include "commands/KeyHelp.h"
#include "tests/program/ProgramFixture.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace vcl;
namespace keyhelp = velmia::keyhelp;

namespace velmia::test {

namespace {

std::set<int> ListedCharacters()
{
    std::set<int> keys;
    for (const auto& c : keyhelp::CharacterCommands()) {
        for (char k : c.main)
            keys.insert(static_cast<unsigned char>(k));
        for (char k : c.left)
            keys.insert(static_cast<unsigned char>(k));
    }
    for (const auto& k : keyhelp::NamedKeys())
        if (k.character)
            keys.insert(static_cast<unsigned char>(k.character));
    return keys;
}

const keyhelp::NamedKey* ListedKey(int vk)
{
    for (const auto& k : keyhelp::NamedKeys())
        if (k.vk == vk)
            return &k;
    return nullptr;
}

enum class Where { Portrait, CloseUp, Show };

const char* Name(Where w)
{
    return w == Where::Portrait ? "portrait" : w == Where::CloseUp ? "close-up" : "show";
}

} // namespace

// A fresh form per question: the fixture's folder holds the default pictures,
// and each start gets its own host (one form per host).
class KeyHelpTest : public ProgramTest {
protected:
    void TearDown() override
    {
        live_.reset();
        ProgramTest::TearDown();
    }

    // The portrait as the user first sees it: start-up done, two scenes composed.
    void StartPortrait()
    {
        live_.reset();
        live_ = std::make_unique<HeadlessHost>();
        form_ = live_->StartForm<TSvelmia>();
        ASSERT_FALSE(live_->StartupFailed());
        Tick();
        Compose();
        Compose();
    }
    void Enter(Where where)
    {
        switch (where) {
        case Where::Portrait:
            // Off centre, so that the keys that move the figure back can act.
            PressKey(VK_RIGHT);
            PressKey(VK_RIGHT);
            ASSERT_EQ(S().PanX, 40);
            break;
        case Where::CloseUp:
            PressKey(VK_PRIOR);
            PressKey(VK_PRIOR);
            ASSERT_TRUE(S().CloseUpMode);
            ASSERT_EQ(S().ZoomPercent, 150);
            break;
        case Where::Show:
            live_->TypeChar('q');
            live_->TypeChar('w');
            ASSERT_TRUE(S().ShowMode);
            Tick();
            break;
        }
        Tick();
    }
    // Leaves the close-up for the portrait, as Home does.
    void LeaveCloseUp()
    {
        PressKey(VK_HOME);
        ASSERT_FALSE(S().CloseUpMode);
        Tick();
    }

    PortraitState& S() { return form_->MutableState(); }
    void Tick() { live_->FireTimer(form_->Timer1, 1); }
    void Compose()
    {
        form_->RequestRedraw();
        Tick();
    }
    void PressKey(int vk, char ch = 0) { live_->PressKey(static_cast<uint16_t>(vk), ch); }

    // Everything a key may change.
    std::vector<int64_t> Snapshot()
    {
        const PortraitState& s = S();
        return {s.EarringIndex,
                s.EarringFrameIndex,
                s.BraceletIndex,
                s.FlowerAlt,
                s.FaceIndex,
                s.EarringAuto,
                s.FaceAuto,
                s.BraceletShown,
                s.LongHair,
                s.ShaggyHair,
                s.PankHair,
                s.OtohimeHair,
                s.BraceletAuto,
                s.MainHairHidden,
                s.StringPatternIndex,
                s.StringPatternOn,
                s.RibbonShown,
                s.HairBandShown,
                s.FlowerShown,
                s.ChokerShown,
                s.EyesClosed,
                s.CamisoleShown,
                s.LeftEarringIndex,
                s.LeftEarringFrameIndex,
                s.LeftBraceletIndex,
                s.LeftFlowerAlt,
                s.LeftFaceIndex,
                s.LeftEarringAuto,
                s.LeftFaceAuto,
                s.LeftBraceletShown,
                s.LeftLongHair,
                s.LeftShaggyHair,
                s.LeftPankHair,
                s.LeftOtohimeHair,
                s.LeftBraceletAuto,
                s.LeftMainHairHidden,
                s.LeftStringPatternIndex,
                s.LeftRibbonShown,
                s.LeftHairBandShown,
                s.LeftFlowerShown,
                s.LeftChokerShown,
                s.LeftEyesClosed,
                s.LeftCamisoleShown,
                s.PortraitMode,
                s.ShowMode,
                s.GrayMode,
                s.QuadMode,
                s.CloseUpMode,
                s.CycleCounter,
                s.SceneIndex,
                int(s.ShowOrigin),
                s.MainSwapped,
                s.CopyToLeftArmed,
                s.QuadEyesClosed,
                s.GrayEyesClosed,
                s.CloseUpEyesClosed,
                s.QuitRequested,
                s.CursorVisible,
                s.LowPriority,
                s.PanX,
                s.SavedPanX,
                s.ZoomPercent,
                s.KeepPreviousShot,
                s.CloseUpHasSecond,
                s.ShowLeftGap,
                s.ShowRightGap,
                s.ShowSpan,
                s.BrowserOpen,
                form_->logo->GetVisible(),
                live_->MinimizeCount(),
                live_->ClipboardCopies(),
                static_cast<int64_t>(live_->Priority()),
                static_cast<int64_t>(live_->Dialogs().size())};
    }

    // Presses the key (dialogs it opens are cancelled); true when anything changed.
    bool Acts(const std::function<void()>& press)
    {
        const auto before = Snapshot();
        press();
        return Snapshot() != before;
    }
    void TypeCharacter(char c)
    {
        if (c == '\r')
            PressKey(VK_RETURN, c);
        else if (c >= 32 && c < 127)
            live_->TypeChar(c);
        else
            PressKey(0, c);
    }

    std::unique_ptr<HeadlessHost> live_;
    TSvelmia* form_ = nullptr;
};

// ---- Characters --------------------------------------------------------------

class CharacterHelpTest : public KeyHelpTest, public ::testing::WithParamInterface<int> {};

TEST_P(CharacterHelpTest, ListedExactlyWhenItActs)
{
    const char c = static_cast<char>(GetParam());
    const bool listed = ListedCharacters().count(GetParam()) > 0;
    StartPortrait();
    bool acted = Acts([&] { TypeCharacter(c); });
    if (!acted) {
        Enter(Where::Show);
        acted = Acts([&] { TypeCharacter(c); });
    }
    EXPECT_EQ(acted, listed) << "character " << GetParam() << " ('" << keyhelp::KeyName(c) << "') "
                             << (listed ? "is listed but does nothing in the portrait or the show"
                                        : "acts but the help does not list it");
}

INSTANTIATE_TEST_SUITE_P(EveryCharacter, CharacterHelpTest, ::testing::Range(1, 127),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

// ---- Keys without a character ------------------------------------------------------

class NamedKeyHelpTest : public KeyHelpTest, public ::testing::WithParamInterface<int> {};

TEST_P(NamedKeyHelpTest, ListedExactlyWhenItActs)
{
    const int vk = GetParam();
    const keyhelp::NamedKey* row = ListedKey(vk);
    const char ch = row ? row->character : 0;
    StartPortrait();
    Enter(Where::Portrait);
    bool acted = Acts([&] { PressKey(vk, ch); });
    if (!acted) {
        Enter(Where::CloseUp);
        acted = Acts([&] { PressKey(vk, ch); });
    }
    if (!acted) {
        LeaveCloseUp();
        Enter(Where::Show);
        acted = Acts([&] { PressKey(vk, ch); });
    }
    EXPECT_EQ(acted, row != nullptr) << "virtual key " << vk
                                     << (row ? " is listed but does nothing in the portrait, close-up or show"
                                             : " acts but the help does not list it");
}

// Every key of a PC keyboard that makes no character: Backspace to Scroll Lock.
INSTANTIATE_TEST_SUITE_P(EveryKey, NamedKeyHelpTest, ::testing::Range(8, 146),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

// ---- Shift and Ctrl forms ----------------------------------------------------------

struct ModifiedKey {
    int row;
    int modifier; // VK_SHIFT or VK_CONTROL
};

void PrintTo(const ModifiedKey& k, std::ostream* os)
{
    *os << (k.modifier == VK_SHIFT ? "Shift+" : "Ctrl+") << keyhelp::NamedKeys()[k.row].name;
}

class ModifierHelpTest : public KeyHelpTest, public ::testing::WithParamInterface<ModifiedKey> {
protected:
    // The state after the key, pressed with or without the modifier, in a view.
    std::vector<int64_t> Outcome(const keyhelp::NamedKey& key, Where where, int modifier)
    {
        StartPortrait();
        if (where == Where::Show)
            Enter(Where::Show);
        else
            Enter(Where::Portrait);
        if (where == Where::CloseUp)
            Enter(Where::CloseUp);
        if (modifier)
            live_->SetKeyDown(modifier, true);
        PressKey(key.vk, key.character);
        if (modifier)
            live_->SetKeyDown(modifier, false);
        return Snapshot();
    }
};

TEST_P(ModifierHelpTest, ListedExactlyWhenItChangesTheOutcome)
{
    const keyhelp::NamedKey& key = keyhelp::NamedKeys()[GetParam().row];
    const int modifier = GetParam().modifier;
    const bool listed = !(modifier == VK_SHIFT ? key.withShift : key.withCtrl).empty();
    std::vector<std::string> differs;
    for (Where where : {Where::Portrait, Where::CloseUp, Where::Show})
        if (Outcome(key, where, 0) != Outcome(key, where, modifier))
            differs.push_back(Name(where));
    const char* mod = modifier == VK_SHIFT ? "Shift" : "Ctrl";
    if (listed)
        EXPECT_FALSE(differs.empty()) << mod << "+" << key.name << " is listed but acts as " << key.name;
    else
        EXPECT_TRUE(differs.empty()) << mod << "+" << key.name << " differs from " << key.name << " in the "
                                     << differs.front() << " but the help lists no " << mod << " form";
}

std::vector<ModifiedKey> EveryModifiedKey()
{
    std::vector<ModifiedKey> v;
    for (int i = 0; i < static_cast<int>(keyhelp::NamedKeys().size()); ++i)
        for (int modifier : {VK_SHIFT, VK_CONTROL})
            v.push_back({i, modifier});
    return v;
}

INSTANTIATE_TEST_SUITE_P(EveryNamedKey, ModifierHelpTest, ::testing::ValuesIn(EveryModifiedKey()),
                         [](const ::testing::TestParamInfo<ModifiedKey>& info) {
                             std::string name(keyhelp::NamedKeys()[info.param.row].name);
                             name.erase(
                                 std::remove_if(name.begin(), name.end(),
                                                [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }),
                                 name.end());
                             return name + (info.param.modifier == VK_SHIFT ? "_Shift" : "_Ctrl");
                         });

// ---- The documents ---------------------------------------------------------------

// Each table row of the Markdown has as many cells as its header: a key or a
// text with a bare vertical bar would split a row.
TEST(KeyHelpDocuments, MarkdownRowsKeepTheirCells)
{
    std::istringstream lines(keyhelp::Markdown());
    std::string line;
    int cells = -1, rows = 0, tables = 0;
    auto count = [](const std::string& l) {
        int n = 0;
        for (size_t i = 0; i < l.size(); ++i)
            if (l[i] == '|' && (i == 0 || l[i - 1] != '\\'))
                ++n;
        return n;
    };
    while (std::getline(lines, line)) {
        if (line.rfind("|", 0) != 0) {
            cells = -1;
            continue;
        }
        if (cells < 0) {
            cells = count(line);
            ++tables;
        }
        EXPECT_EQ(count(line), cells) << line;
        ++rows;
    }
    const size_t expected = keyhelp::CharacterCommands().size() + keyhelp::NamedKeys().size() +
                            keyhelp::MouseActions().size() + keyhelp::Views().size() + 2 * tables;
    EXPECT_EQ(static_cast<size_t>(rows), expected) << "every row once and two header lines per table";
}

// tbl separates cells by '@', and a line that starts with '.' or '\'' is a
// request: neither may come from the table's texts.
TEST(KeyHelpDocuments, RoffCellsStayCells)
{
    std::istringstream lines(keyhelp::Roff());
    std::string line;
    bool inTable = false;
    int textBlocks = 0;
    while (std::getline(lines, line)) {
        if (line == ".TS" || line == ".TE") {
            inTable = line == ".TS";
            continue;
        }
        if (line == "T{")
            ++textBlocks;
        if (!line.empty() && (line[0] == '.' || line[0] == '\'')) {
            EXPECT_TRUE(!inTable || line == ".br") << "a text line reads as a request: " << line;
        }
    }
    EXPECT_GT(textBlocks, 0);
    for (const auto& c : keyhelp::CharacterCommands())
        EXPECT_EQ(std::string(c.what).find('@'), std::string::npos) << c.what;
    for (const auto& k : keyhelp::NamedKeys())
        EXPECT_EQ((std::string(k.what) + std::string(k.withShift) + std::string(k.withCtrl)).find('@'),
                  std::string::npos)
            << k.name;
}

} // namespace velmia::test
