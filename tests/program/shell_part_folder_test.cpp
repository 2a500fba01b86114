// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The folder the program runs in: a folder with the pictures is used as it
// is, one with some of them is left to start-up's report, and an empty one
// sends a new user to the part folder filled from the installed pictures,
// which is never overwritten. Also the program's arguments.
#include "shell/CommandLine.h"
#include "shell/PartFolder.h"
#include "tests/program/ProgramFixture.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using velmia::shell::PictureSet;

namespace velmia::test {

namespace {

void WriteText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// The fixture's folder holds the default pictures; "install" lays out a
// prefix with bin/velmia and share/velmia beside it.
class PartFolderTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        root_ = Folder() / "root";
        prefix_ = root_ / "prefix";
        fs::create_directories(prefix_ / "bin");
        WriteText(prefix_ / "bin" / "velmia", "");
        installed_ = prefix_ / "share" / "velmia";
        fs::create_directories(installed_ / "extra");
        for (const auto& e : fs::directory_iterator(Folder()))
            if (e.path().extension() == ".bmp")
                fs::copy_file(e.path(), installed_ / e.path().filename());
        WriteText(installed_ / "extra" / "vlm_co_extra.bmp", "extra costume");
        user_ = root_ / "home" / ".local" / "share" / "velmia";
        empty_ = root_ / "empty";
        fs::create_directories(empty_);
    }

    std::optional<fs::path> Installed() { return velmia::shell::InstalledPictures(prefix_ / "bin" / "velmia"); }

    fs::path root_, prefix_, installed_, user_, empty_;
};

TEST_F(PartFolderTest, RequiredPicturesAreThoseStartUpNeeds)
{
    const auto required = velmia::shell::RequiredPictures();
    ASSERT_EQ(required.size(), std::size(kRequiredFiles));
    for (const char* name : kRequiredFiles)
        EXPECT_NE(std::find_if(required.begin(), required.end(), [&](const char* r) { return std::string(r) == name; }),
                  required.end())
            << name;
}

TEST_F(PartFolderTest, CountsTheRequiredPictures)
{
    struct Case {
        const char* what;
        std::vector<std::string> files;
        PictureSet expected;
    };
    std::vector<std::string> all(std::begin(kRequiredFiles), std::end(kRequiredFiles));
    std::vector<std::string> allButOne(all.begin() + 1, all.end());
    std::vector<std::string> otherFormat = all;
    otherFormat[5] = "vlm_co.png";
    const Case cases[] = {
        {"nothing", {}, PictureSet::None},
        {"other files only", {"notes.txt", "vlm_co_red.bmp", "vlm_shaggy.bmp"}, PictureSet::None},
        {"one picture", {"vlm_co.bmp"}, PictureSet::Some},
        {"one in capitals", {"VLM_RI.BMP"}, PictureSet::Some},
        {"all but one", allButOne, PictureSet::Some},
        {"all", all, PictureSet::All},
        {"one stored in another format", otherFormat, PictureSet::All},
    };
    int n = 0;
    for (const Case& c : cases) {
        const fs::path folder = root_ / ("case" + std::to_string(n++));
        fs::create_directories(folder);
        for (const auto& f : c.files)
            WriteText(folder / f, "x");
        EXPECT_EQ(velmia::shell::RequiredPicturesIn(folder), c.expected) << c.what;
    }
    EXPECT_EQ(velmia::shell::RequiredPicturesIn(root_ / "no such folder"), PictureSet::None);
}

TEST(PartFolder, UserFolderFollowsXdgDataHome)
{
    // Only names are computed here; nothing is created. The absolute paths
    // lie in the temporary folder all the same.
    const std::string data = (fs::temp_directory_path() / "xdg-data").string();
    const std::string home = (fs::temp_directory_path() / "home-u").string();
    struct Case {
        const char* xdg;
        const char* home;
        std::optional<fs::path> expected;
    };
    const Case cases[] = {
        {data.c_str(), home.c_str(), fs::path(data) / "velmia"},
        {nullptr, home.c_str(), fs::path(home) / ".local/share/velmia"},
        {"", home.c_str(), fs::path(home) / ".local/share/velmia"},
        {"relative/data", home.c_str(), fs::path(home) / ".local/share/velmia"}, // not absolute: ignored
        {data.c_str(), nullptr, fs::path(data) / "velmia"},
        {nullptr, nullptr, std::nullopt},
        {"", "", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(velmia::shell::UserPartFolder(c.xdg, c.home), c.expected)
            << (c.xdg ? c.xdg : "(unset)") << " / " << (c.home ? c.home : "(unset)");
}

TEST_F(PartFolderTest, InstalledPicturesOnlyWhenComplete)
{
    EXPECT_EQ(Installed(), installed_.lexically_normal());
    EXPECT_EQ(velmia::shell::InstalledPictures(root_ / "elsewhere" / "velmia"), std::nullopt);
    fs::remove(installed_ / "vlm_hb.bmp");
    EXPECT_EQ(Installed(), std::nullopt) << "a set without vlm_hb.bmp is no default set";
}

// 1. The current folder holds the pictures: it is used, nothing is made.
TEST_F(PartFolderTest, FolderWithThePicturesIsUsed)
{
    EXPECT_EQ(velmia::shell::ChooseRunFolder(Folder(), Installed(), user_), std::nullopt);
    EXPECT_FALSE(fs::exists(user_));
}

// 2. Some of them: left to start-up, which names the missing file and the folder.
TEST_F(PartFolderTest, FolderWithSomePicturesIsReportedAsBefore)
{
    RemoveFile("vlm_ri.bmp");
    EXPECT_EQ(velmia::shell::ChooseRunFolder(Folder(), Installed(), user_), std::nullopt);
    EXPECT_FALSE(fs::exists(user_));
    Start();
    ASSERT_TRUE(host_.StartupFailed());
    ASSERT_FALSE(host_.MessageBoxes().empty());
    const std::string& text = host_.MessageBoxes().back().Text;
    EXPECT_NE(text.find("vlm_ri.bmp"), std::string::npos) << text;
    EXPECT_NE(text.find(fs::current_path().string()), std::string::npos) << text;
}

// 3. None of them: the part folder is made, filled and started in.
TEST_F(PartFolderTest, EmptyFolderStartsInTheFilledPartFolder)
{
    const auto chosen = velmia::shell::ChooseRunFolder(empty_, Installed(), user_);
    ASSERT_EQ(chosen, user_);
    std::vector<std::string> expected = Names(installed_);
    expected.erase(std::find(expected.begin(), expected.end(), "extra"));
    expected.push_back("vlm_co_extra.bmp");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(user_), expected) << "every default picture and extra part, no temporary file";
    EXPECT_TRUE(fs::is_empty(empty_));

    fs::current_path(user_);
    Start();
    EXPECT_FALSE(host_.StartupFailed()) << (host_.MessageBoxes().empty() ? "" : host_.MessageBoxes().back().Text);
}

TEST_F(PartFolderTest, NoPartFolderWithoutAnInstalledSetOrAHome)
{
    EXPECT_EQ(velmia::shell::ChooseRunFolder(empty_, std::nullopt, user_), std::nullopt);
    EXPECT_EQ(velmia::shell::ChooseRunFolder(empty_, Installed(), std::nullopt), std::nullopt);
    EXPECT_FALSE(fs::exists(user_));
}

TEST_F(PartFolderTest, UsersFilesAreNeverOverwritten)
{
    WriteText(user_ / "vlm_co.bmp", "my costume");
    WriteText(user_ / "vlm_co_mine.bmp", "another");
    ASSERT_EQ(velmia::shell::ChooseRunFolder(empty_, Installed(), user_), user_);
    EXPECT_EQ(ReadText(user_ / "vlm_co.bmp"), "my costume");
    EXPECT_EQ(ReadText(user_ / "vlm_co_mine.bmp"), "another");
    EXPECT_TRUE(fs::exists(user_ / "vlm_ca.bmp"));

    // A complete folder is reused as the user keeps it: a part deleted there
    // stays deleted, a changed one stays changed.
    fs::remove(user_ / "vlm_co_extra.bmp");
    WriteText(user_ / "vlm_ri.bmp", "my ribbon");
    ASSERT_EQ(velmia::shell::ChooseRunFolder(empty_, Installed(), user_), user_);
    EXPECT_FALSE(fs::exists(user_ / "vlm_co_extra.bmp"));
    EXPECT_EQ(ReadText(user_ / "vlm_ri.bmp"), "my ribbon");

    // A required picture lost from it comes back, and only that one.
    fs::remove(user_ / "vlm_hb.bmp");
    ASSERT_EQ(velmia::shell::ChooseRunFolder(empty_, Installed(), user_), user_);
    EXPECT_TRUE(fs::exists(user_ / "vlm_hb.bmp"));
    EXPECT_EQ(ReadText(user_ / "vlm_co.bmp"), "my costume");
}

TEST_F(PartFolderTest, PartFolderThatCannotBeMadeIsReported)
{
    WriteText(user_, "a file where the folder should be");
    try {
        velmia::shell::ChooseRunFolder(empty_, Installed(), user_);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(user_.string()), std::string::npos) << e.what();
    }
}

TEST(CommandLine, ArgumentsAndTheirAnswers)
{
    struct Case {
        std::vector<const char*> args;
        int status;
        std::string out; // start of standard output
        std::string err; // standard error
        bool watch = false;
    };
    const std::string usage = "usage: velmia [--watch] [--look FILE | --help | --version]\n";
    const Case cases[] = {
        {{"velmia"}, -1, "", ""},
        {{"velmia", "--help"}, 0, usage, ""},
        {{"velmia", "-h"}, 0, usage, ""},
        {{"velmia", "--version"}, 0, "velmia " + velmia::shell::Version() + "\n", ""},
        {{"velmia", "--verbose"}, 2, "", "velmia: unknown argument '--verbose'\n" + usage},
        {{"velmia", "folder"}, 2, "", "velmia: unknown argument 'folder'\n" + usage},
        {{"velmia", ""}, 2, "", "velmia: unknown argument ''\n" + usage},
        {{"velmia", "--help", "x"}, 2, "", "velmia: unknown argument 'x'\n" + usage},
        {{"velmia", "--version", "--help"}, 2, "", "velmia: unknown argument '--help'\n" + usage},
        // Qt's standard options are left to QApplication, before and after ours.
        {{"velmia", "-platform", "offscreen"}, -1, "", ""},
        {{"velmia", "--style=Fusion", "-reverse", "-display", ":0", "--qwindowtitle", "--help"}, -1, "", ""},
        {{"velmia", "-style", "Fusion", "--version"}, 0, "velmia " + velmia::shell::Version() + "\n", ""},
        {{"velmia", "--help", "-stylesheet", "x.qss"}, 0, usage, ""},
        {{"velmia", "-display", ":0", "--bogus"}, 2, "", "velmia: unknown argument '--bogus'\n" + usage},
        {{"velmia", "-platform=xcb"}, 2, "", "velmia: unknown argument '-platform=xcb'\n" + usage},
        {{"velmia", "-style"}, 2, "", "velmia: the Qt option '-style' needs a value\n" + usage},
        // --watch runs the program reloading worn part files; once, with any of the rest.
        {{"velmia", "--watch"}, -1, "", "", true},
        {{"velmia", "-platform", "offscreen", "--watch"}, -1, "", "", true},
        {{"velmia", "--watch", "--help"}, 0, usage, "", true},
        {{"velmia", "--watch", "--watch"}, 2, "", "velmia: unknown argument '--watch'\n" + usage, true},
        {{"velmia", "--watch", "--look", "a"}, -1, "", "", true},
        // A look to start with: one file, after Qt's options or before them.
        {{"velmia", "--look", "mine.velmia-look"}, -1, "", ""},
        {{"velmia", "-platform", "xcb", "--look", "a b"}, -1, "", ""},
        {{"velmia", "--look"}, 2, "", "velmia: --look needs a look file\n" + usage},
        {{"velmia", "--look", ""}, 2, "", "velmia: --look needs a look file\n" + usage},
        {{"velmia", "--look", "a", "b"}, 2, "", "velmia: unknown argument 'b'\n" + usage},
        {{"velmia", "--help", "--look", "a"}, 2, "", "velmia: unknown argument '--look'\n" + usage},
    };
    for (const Case& c : cases) {
        std::ostringstream out, err;
        velmia::shell::RunOptions options;
        const int status =
            velmia::shell::HandleCommandLine(static_cast<int>(c.args.size()), c.args.data(), out, err, &options);
        EXPECT_EQ(options.watchPartFiles, c.watch) << (c.args.size() > 1 ? c.args[1] : "(none)");
        if (status == -1 && c.args.size() > 2 && std::string_view(c.args[c.args.size() - 2]) == "--look") {
            EXPECT_EQ(options.look, c.args.back());
        }
        const std::string shown = c.args.size() > 1 ? c.args[1] : "(none)";
        EXPECT_EQ(status, c.status) << shown;
        EXPECT_EQ(out.str().substr(0, c.out.size()), c.out) << shown;
        EXPECT_EQ(err.str(), c.err) << shown;
        if (c.status != 0) {
            EXPECT_EQ(out.str(), "") << shown;
        }
    }
    EXPECT_NE(velmia::shell::HelpText().find("Character commands"), std::string::npos);
}

} // namespace velmia::test
