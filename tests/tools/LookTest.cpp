// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The look file: what random keys make comes back whole from the look saved
// from them; a file that is not a look changes nothing and is named with its
// line; part files travel by name and a missing one is named.
#include "platform/headless/HeadlessHost.h"
#include "shell/Velmiaunit1.h"
#include "tests/host/ArtworkCopy.h"
#include "toolkit/BmpCodec.h"
#include "tools/render/Renderer.h"
#include "tools/soak/Driver.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

using namespace velmia::render;
using velmia::headless::HeadlessHost;
namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// Where two pictures differ: the count, and the first place.
std::string Difference(const vcl::TBitmap& a, const vcl::TBitmap& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return "sizes differ";
    int count = 0;
    std::string first;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (a.GetPixelColor(x, y) != b.GetPixelColor(x, y) && count++ == 0)
                first = " first at (" + std::to_string(x) + "," + std::to_string(y) + ")";
    return count ? std::to_string(count) + " pixels differ," + first : "";
}

// The keys of the driver's random input, as the renderer types them. Left
// out: the keys that end the program (Escape), and those that open what a
// look does not keep: the title banner (F1), the part browser (F2 to F7) and
// the close-up (Page Up).
std::vector<KeyStroke> RandomKeys(uint64_t seed, size_t count)
{
    std::vector<KeyStroke> keys;
    for (const velmia::soak::Event& e : velmia::soak::RandomKeyEvents(seed, count)) {
        if (e.kind == velmia::soak::EventKind::Char) {
            if (e.code != 27)
                keys.push_back(KeyStroke{.character = char(e.code)});
            continue;
        }
        if (e.code == vcl::VK_ESCAPE || e.code == vcl::VK_PRIOR || (e.code >= vcl::VK_F1 && e.code <= vcl::VK_F7))
            continue;
        keys.push_back(KeyStroke{.vk = uint16_t(e.code),
                                 .vkCharacter = velmia::soak::CharacterOfKey(e.code),
                                 .ctrl = e.ctrl,
                                 .shift = e.shift});
    }
    return keys;
}

std::string KeyText(const std::vector<KeyStroke>& keys)
{
    std::string out;
    for (const KeyStroke& k : keys)
        out += k.vk ? "{" + std::string(k.ctrl ? "C-" : "") + (k.shift ? "S-" : "") + std::to_string(k.vk) + "}"
                    : std::string(1, k.character);
    return out;
}

// The default pictures in a temporary folder that is the current one.
class LookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = velmia::test::CopyArtwork(velmia::test::ArtworkDir(), "velmia-look");
        previous_ = fs::current_path();
        fs::current_path(folder_);
    }
    void TearDown() override
    {
        fs::current_path(previous_);
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    std::set<std::string> Listing() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder_))
            names.insert(entry.path().string() + ":" +
                         (entry.is_regular_file() ? std::to_string(entry.file_size()) : std::string("-")));
        return names;
    }

    fs::path folder_;
    fs::path previous_;
};

// The program's form on the headless platform, taking input from the first
// tick on, as the window does.
struct Portrait {
    HeadlessHost host;
    TSvelmia* form = host.StartForm<TSvelmia>();
    Portrait() { host.FireTimer(form->Timer1, 1); }
    void Settle()
    {
        for (int i = 0; i < 8 && form->State().CycleCounter == 600; ++i)
            host.FireTimer(form->Timer1, 1);
    }
    std::string LookText() { return look::Format(form->CurrentLook(fs::current_path().string())); }
    const vcl::TBitmap& Picture() { return host.WindowPicture(); }
};

TEST_F(LookTest, RandomKeysComeBackFromTheLookSavedFromThem)
{
    int held = 0;
    for (uint64_t seed = 1; seed <= 50; ++seed) {
        const std::string saved = "look-" + std::to_string(seed) + ".velmia-look";
        RenderRequest typed;
        typed.keys = RandomKeys(seed, 80);
        typed.saveLook = (folder_ / saved).string();
        // The show puts its body frames on screen at their phases: a whole
        // breathing period after the redraw both pictures are complete.
        typed.ticks = 41;
        RenderResult byKeys;
        Render(typed, byKeys);
        ASSERT_TRUE(byKeys.ok) << "seed " << seed << ": " << byKeys.message;

        // Worn on a fresh start, and saved again: the same picture, the same file.
        RenderRequest worn;
        worn.look = typed.saveLook;
        worn.saveLook = (folder_ / ("again-" + saved)).string();
        worn.ticks = typed.ticks;
        RenderResult byLook;
        Render(worn, byLook);
        ASSERT_TRUE(byLook.ok) << "seed " << seed << ": " << byLook.message;
        const std::string difference = Difference(byKeys.picture, byLook.picture);
        const std::string text = ReadText(typed.saveLook);
        EXPECT_EQ(difference, "") << "seed " << seed << ", keys " << KeyText(typed.keys) << "\n" << text;
        EXPECT_EQ(ReadText(worn.saveLook), text) << "seed " << seed;
        held += difference.empty();
    }
    EXPECT_EQ(held, 50);
}

// Each file is refused as a whole, with the file's name and the line.
TEST_F(LookTest, BadFilesAreNamedAndChangeNothing)
{
    const std::string v = "velmia-look = 1\n";
    const struct {
        const char* name;
        std::string text; // "" with `special` set: made another way
        const char* message;
        const char* special = nullptr;
    } rows[] = {
        {"picture.velmia-look", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "line 1: this is not UTF-8 text"},
        {"latin1.velmia-look", v + "# caf\xE9\n", "line 2: this is not UTF-8 text"},
        {"empty.velmia-look", "", "it has no \"velmia-look = 1\" line"},
        {"headless.velmia-look", "face = 1\n" + v, "line 1: the first line must be \"velmia-look = 1\""},
        {"future.velmia-look", "velmia-look = 2\nface = 1\n", "line 1: version \"2\" is not known"},
        {"typo.velmia-look", v + "# the face\n\nfase = 1\n", "line 4: unknown key \"fase\""},
        {"words.velmia-look", v + "just words\n", "line 2: this is not a \"key = value\" line"},
        {"twice.velmia-look", v + "ribbon = no\nribbon = yes\n", "line 3: \"ribbon\" is given twice"},
        {"type.velmia-look", v + "face = two\n", "line 2: \"face\" needs a whole number from 0 to"},
        {"range.velmia-look", v + "choker = yes\npan = 600\n", "line 3: \"pan\" needs a whole number from -400 to 520"},
        {"cell.velmia-look", v + "left.earring = 5\n", "line 2: \"left.earring\" needs a whole number from 0 to 4"},
        {"negative.velmia-look", v + "scene = -1\n", "line 2: \"scene\" needs a whole number from 0 to 7"},
        {"choice.velmia-look", v + "hair = bald\n", "line 2: \"hair\" needs one of standard, hidden, long"},
        {"yes.velmia-look", v + "choker = true\n", "line 2: \"choker\" needs one of no, yes, not \"true\""},
        {"colour.velmia-look", v + "hem = red\n", "line 2: \"hem\" needs a colour written #RRGGBB"},
        {"climb.velmia-look", v + "costume.file = ../vlm_co.bmp\n", "line 2: the file \"../vlm_co.bmp\" lies outside"},
        {"climb2.velmia-look", v + "left.choker.file = a/../../b.bmp\n", "line 2: the file \"a/../../b.bmp\" lies"},
        {"nofile.velmia-look", v + "ribbon.file =\n", "line 2: \"ribbon.file\" needs a file name"},
        {"gaps.velmia-look", v + "show.right-gap = 300\nshow.left-gap = 100\n",
         "line 3: show.left-gap and show.right-gap together must be at least 450"},
        {"long.velmia-look", v + "# " + std::string(5000, 'x') + "\n", "line 2: the line is longer than 4096"},
        {"first-of-two.velmia-look", v + "face = 0\nbracelet = 7\nribbon = maybe\n", "line 3: \"bracelet\""},
        {"huge.velmia-look", "", "it is larger than 65536 bytes", "huge"},
        {"fifo.velmia-look", "", "it is not a regular file", "fifo"},
        {"folder.velmia-look", "", "it is not a regular file", "folder"},
        {"missing.velmia-look", "", "No such file or directory", "missing"},
    };
    Portrait p;
    // Something of her own to keep: long hair, a choker, a pan, the next scene.
    for (char c : std::string("lk\r")) {
        p.host.TypeChar(c);
        p.Settle();
    }
    p.host.PressKey(vcl::VK_RIGHT);
    p.Settle();
    const std::string before = p.LookText();
    vcl::TBitmap picture;
    picture.Assign(p.Picture());
    for (const auto& row : rows) {
        const fs::path file = folder_ / row.name;
        const std::string special = row.special ? row.special : "";
        if (special == "huge")
            WriteText(file, v + std::string(70000, '#'));
        else if (special == "fifo")
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        else if (special == "folder")
            fs::create_directory(file);
        else if (special.empty())
            WriteText(file, row.text);
        const auto listing = Listing();
        p.host.ClearRecords();
        EXPECT_FALSE(p.form->OpenLookFile(file.string())) << row.name;
        p.Settle();
        ASSERT_EQ(p.host.MessageBoxes().size(), 1u) << row.name;
        const std::string& message = p.host.MessageBoxes()[0].Text;
        EXPECT_NE(message.find("\"" + file.string() + "\""), std::string::npos) << message;
        EXPECT_NE(message.find(row.message), std::string::npos) << message;
        EXPECT_EQ(p.LookText(), before) << row.name;
        EXPECT_EQ(Difference(p.Picture(), picture), "") << row.name;
        EXPECT_EQ(Listing(), listing) << row.name << ": something was written";
    }
}

// A part file beside the look is named relative to it and comes back; a part
// file that cannot be read is named, and the rest of the look goes on.
TEST_F(LookTest, PartFilesTravelByNameAndAMissingOneIsNamed)
{
    fs::create_directory("parts");
    {
        vcl::TBitmap costume;
        vcl::ReadBmpFile("vlm_co.bmp", costume);
        for (int x = 0; x < costume.GetWidth(); ++x)
            costume.SetPixelColor(x, 15, 0x0000FF);
        vcl::WriteBmpFile("parts/vlm_co_red.bmp", costume);
    }
    Portrait dressed;
    dressed.host.ScriptOpenDialog((folder_ / "parts/vlm_co_red.bmp").string());
    dressed.host.TypeChar('\\');
    dressed.Settle();
    dressed.host.ScriptColor(0x00FF00);
    dressed.host.TypeChar('2'); // the hem in green
    dressed.Settle();
    dressed.host.ScriptColor(0x123456);
    dressed.host.TypeChar('\r'); // the next scene, then a tile of its own colour
    dressed.Settle();
    dressed.host.TypeChar('1');
    dressed.Settle();
    ASSERT_TRUE(dressed.host.MessageBoxes().empty());
    ASSERT_TRUE(dressed.form->SaveLookFile("kept.velmia-look"));
    const std::string text = ReadText("kept.velmia-look");
    EXPECT_NE(text.find("\ncostume.file = parts/vlm_co_red.bmp\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nhem = #00ff00\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nscene-colour."), std::string::npos) << text;

    Portrait worn;
    EXPECT_TRUE(worn.form->OpenLookFile("kept.velmia-look"));
    worn.Settle();
    EXPECT_TRUE(worn.host.MessageBoxes().empty());
    EXPECT_EQ(Difference(worn.Picture(), dressed.Picture()), "");

    // Without its costume file: named once, the choker still goes on and the
    // costume stays as it was.
    fs::remove("parts/vlm_co_red.bmp");
    WriteText("lost.velmia-look", "velmia-look = 1\nchoker = yes\ncostume.file = parts/vlm_co_red.bmp\n");
    Portrait fresh;
    EXPECT_TRUE(fresh.form->OpenLookFile("lost.velmia-look"));
    fresh.Settle();
    ASSERT_EQ(fresh.host.MessageBoxes().size(), 1u);
    EXPECT_NE(fresh.host.MessageBoxes()[0].Text.find((folder_ / "parts/vlm_co_red.bmp").string()), std::string::npos)
        << fresh.host.MessageBoxes()[0].Text;
    EXPECT_TRUE(fresh.form->State().ChokerShown);

    std::string expected = Portrait().LookText();
    expected.replace(expected.find("\nchoker = no\n"), 13, "\nchoker = yes\n");
    EXPECT_EQ(fresh.LookText(), expected);
    // A name that cannot be a line of the file: nothing is written. (The
    // fresh starts above took the platform over.)
    vcl::SetPlatform(&fresh.host);
    fs::copy_file("vlm_ri.bmp", "vlm_ri\nodd.bmp");
    fresh.host.ClearRecords();
    fresh.host.ScriptOpenDialog((folder_ / "vlm_ri\nodd.bmp").string());
    fresh.host.TypeChar('-');
    fresh.Settle();
    ASSERT_TRUE(fresh.host.MessageBoxes().empty());
    EXPECT_FALSE(fresh.form->SaveLookFile("odd.velmia-look"));
    ASSERT_EQ(fresh.host.MessageBoxes().size(), 1u);
    EXPECT_NE(fresh.host.MessageBoxes()[0].Text.find("cannot be written in a look file"), std::string::npos);
    EXPECT_FALSE(fs::exists("odd.velmia-look"));
}

} // namespace
