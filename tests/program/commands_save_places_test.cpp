// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Where saves land: a read-only file is refused and kept byte for byte, a
// working folder removed while the program runs is named and the dialog
// opens where the user is shown, a name that is not UTF-8 is saved back
// under exactly its bytes, and a file another program changed after it was
// read is replaced only when the user says so.
#include "tests/program/commands_support.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace vcl;
namespace fs = std::filesystem;

namespace velmia::test {
namespace {

std::string ReadBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::set<std::string> Listing(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

// Sets an environment variable for one test and puts it back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

class SavePlacesTest : public CommandTest {
protected:
    void TearDown() override
    {
        if (!home_.empty()) {
            std::error_code ec;
            fs::remove_all(home_, ec);
        }
        CommandTest::TearDown();
    }
    // A home folder of the test's own, beside its working folder.
    fs::path MakeHome()
    {
        home_ = Folder().string() + "-home";
        fs::create_directories(home_);
        return home_;
    }
    // Loads a costume file through the costume key's open dialog.
    void LoadCostume(const std::string& path)
    {
        host_.ScriptOpenDialog(path);
        Type('\\');
        ASSERT_TRUE(host_.MessageBoxes().empty()) << host_.MessageBoxes()[0].Text;
        ASSERT_EQ(S().CostumeFileName, path);
    }

    fs::path home_;
};

// A file without write permission is not replaced, although its folder would
// allow the rename: the save is refused in one message naming the file, and
// the file keeps its bytes and its mode. Decided by the owner's write bit,
// so the rows hold for the super-user too.
TEST_F(SavePlacesTest, ReadOnlyFileIsRefusedAndKept)
{
    StartPortrait();
    fs::create_directory(Folder() / "store");
    const struct Row {
        char key;
        const char* file;    // the file the dialog answers with ("" = the proposal)
        const char* guarded; // the read-only file behind it
        mode_t mode;
    } rows[] = {
        {'d', "vlm_scenelist3.bmp", "vlm_scenelist3.bmp", 0444},
        {'d', "", "vlm_scenelist.bmp", 0444},
        {'s', "", "vlm_co.bmp", 0444},
        {'s', "vlm_co7.bmp", "vlm_co7.bmp", 0464},       // others may write, its owner may not
        {'s', "vlm_co8.bmp", "store/vlm_co8.bmp", 0400}, // through a symbolic link
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(1, r.key) + " " + r.guarded);
        const fs::path guarded = Folder() / r.guarded;
        if (!fs::exists(guarded))
            WritePicture(r.guarded, 20, 10, 0x00336699);
        if (*r.file && std::string(r.file) != r.guarded)
            fs::create_symlink(guarded, Folder() / r.file);
        ASSERT_EQ(::chmod(guarded.c_str(), r.mode), 0);
        const std::string before = ReadBytes(guarded);
        const std::string chosen = *r.file ? (Folder() / r.file).string() : "";
        host_.ClearRecords();
        host_.ScriptSaveDialog(chosen);
        Type(r.key);

        ASSERT_EQ(host_.MessageBoxes().size(), 1u);
        const std::string& text = host_.MessageBoxes()[0].Text;
        EXPECT_NE(text.find("\"" + (*r.file ? chosen : guarded.string()) + "\""), std::string::npos) << text;
        EXPECT_NE(text.find("is read-only"), std::string::npos) << text;
        EXPECT_EQ(ReadBytes(guarded), before);
        struct stat st {};
        ASSERT_EQ(::stat(guarded.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, r.mode);
        for (const std::string& name : Listing(guarded.parent_path()))
            EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
        EXPECT_FALSE(S().Busy);
        EXPECT_TRUE(form_->Timer1->GetEnabled());
    }
}

// The folder the proposal lives in was removed while the program runs: one
// message names it before the dialog opens, and the dialog opens in the
// working folder, or in the home folder when the working folder is the one
// gone, proposing the bare name. Without a home folder nothing is offered.
struct RemovedFolderRow {
    char key;
    bool workingFolder; // removed; else the folder the costume was loaded from
    bool withHome;
    const char* proposed; // nullptr: no dialog
};

const RemovedFolderRow kRemovedFolderRows[] = {
    {'d', true, true, "vlm_scenelist"},
    {'s', true, true, "vlm_co"},
    {'s', true, false, nullptr},
    {'s', false, true, "vlm_co5.bmp"},
};

class RemovedFolderTest : public SavePlacesTest, public ::testing::WithParamInterface<RemovedFolderRow> {};

TEST_P(RemovedFolderTest, IsNamedAndTheDialogOpensWhereTheUserIsShown)
{
    const RemovedFolderRow& r = GetParam();
    StartPortrait();
    const fs::path home = MakeHome();
    ScopedEnv env("HOME", r.withHome ? std::optional(home.string()) : std::nullopt);
    fs::path gone = Folder();
    if (r.workingFolder) {
        fs::remove_all(Folder());
    } else {
        gone = Folder() / "wardrobe";
        fs::create_directory(gone);
        fs::copy_file(Folder() / "vlm_co.bmp", gone / "vlm_co5.bmp");
        LoadCostume((gone / "vlm_co5.bmp").string());
        fs::remove_all(gone);
    }
    host_.ClearRecords();
    host_.ScriptSaveDialog("");
    Type(r.key);

    ASSERT_GE(host_.MessageBoxes().size(), 1u);
    const std::string& text = host_.MessageBoxes()[0].Text;
    EXPECT_NE(text.find("\"" + gone.string() + "\" no longer exists"), std::string::npos) << text;
    EXPECT_EQ(host_.MessageBoxes().size(), 1u) << host_.MessageBoxes().back().Text;
    if (!r.proposed) {
        EXPECT_TRUE(host_.Dialogs().empty()) << "a dialog opened with nowhere to save";
        EXPECT_TRUE(fs::is_empty(home));
    } else {
        const fs::path shown = r.workingFolder ? home : Folder();
        EXPECT_NE(text.find("opens in \"" + shown.string() + "\""), std::string::npos) << text;
        ASSERT_EQ(host_.Dialogs().size(), 1u);
        EXPECT_EQ(host_.Dialogs()[0].InitialDir, shown.string());
        EXPECT_EQ(host_.Dialogs()[0].FileName, r.proposed);
        const std::string file = fs::path(r.proposed).has_extension() ? r.proposed : std::string(r.proposed) + ".bmp";
        EXPECT_TRUE(fs::is_regular_file(shown / file)) << (shown / file);
    }
    EXPECT_FALSE(S().Busy);
    EXPECT_TRUE(form_->Timer1->GetEnabled());
}

INSTANTIATE_TEST_SUITE_P(Saves, RemovedFolderTest, ::testing::ValuesIn(kRemovedFolderRows),
                         [](const ::testing::TestParamInfo<RemovedFolderRow>& info) {
                             const RemovedFolderRow& r = info.param;
                             return std::string(r.key == 'd' ? "SceneList" : "Costume") +
                                    (r.workingFolder ? "WorkingFolder" : "CostumeFolder") +
                                    (r.withHome ? "" : "NoHome");
                         });

// ---- Files another program changed ------------------------------------------------

// What another program does to the file after it was read.
enum class Change { None, Rewritten, Resized, Touched, PutInItsPlace, Removed };

struct ChangedFileRow {
    const char* name;
    char key;         // s: the costume loaded with \, d: the scene list loaded with ^
    bool savedBefore; // this program saved it once since reading it, before the change
    Change change;
    bool asks; // the save asks before replacing it
    bool yes;  // and is told yes
};

const ChangedFileRow kChangedFiles[] = {
    {"costume_unchanged", 's', false, Change::None, false, false},
    {"costume_rewritten_said_no", 's', false, Change::Rewritten, true, false},
    {"costume_rewritten_said_yes", 's', false, Change::Rewritten, true, true},
    {"costume_resized", 's', false, Change::Resized, true, false},
    {"costume_touched", 's', false, Change::Touched, true, false},
    {"costume_put_in_its_place", 's', false, Change::PutInItsPlace, true, false},
    {"costume_removed", 's', false, Change::Removed, false, false},
    {"costume_saved_here_before", 's', true, Change::None, false, false},
    {"costume_changed_after_a_save_here", 's', true, Change::Rewritten, true, false},
    {"scene_list_unchanged", 'd', false, Change::None, false, false},
    {"scene_list_rewritten_said_no", 'd', false, Change::Rewritten, true, false},
    {"scene_list_put_in_its_place_said_yes", 'd', false, Change::PutInItsPlace, true, true},
};

class ChangedFileTest : public SavePlacesTest, public ::testing::WithParamInterface<ChangedFileRow> {};

// Read, recoloured, saved back over the same file: when another program has
// changed that file since (its size, its time or the file itself), the save
// asks first, naming it, and a no keeps the other program's file.
TEST_P(ChangedFileTest, SaveOverAFileChangedElsewhereAsksFirst)
{
    const ChangedFileRow& r = GetParam();
    StartPortrait();
    const bool costume = r.key == 's';
    const fs::path file = Folder() / (costume ? "vlm_co5.bmp" : "vlm_scenelist5.bmp");
    WritePicture(file.filename().string(), costume ? 530 : 75, costume ? 300 : 750, 0x00204080);
    host_.ScriptOpenDialog(file.string());
    Type(costume ? '\\' : '^');
    ASSERT_TRUE(host_.MessageBoxes().empty()) << host_.MessageBoxes()[0].Text;
    host_.ScriptColor(0x000000FF);
    Type(costume ? '2' : '1');
    const TBitmap& picture = costume ? *S().CostumePicture : *form_->SceneList->GetBitmap();
    if (r.savedBefore) {
        host_.ScriptSaveDialog(file.string());
        Type(r.key);
        host_.ScriptColor(0x0000FF00);
        Type(costume ? '2' : '1');
    }

    struct stat was {};
    ASSERT_EQ(::stat(file.c_str(), &was), 0);
    const timespec later[2] = {{was.st_mtim.tv_sec + 5, 0}, {was.st_mtim.tv_sec + 5, 0}};
    switch (r.change) {
    case Change::None:
        break;
    case Change::Rewritten: // same size, other pixels, a later time
        WritePicture(file.filename().string(), costume ? 530 : 75, costume ? 300 : 750, 0x00998877);
        ::utimensat(AT_FDCWD, file.c_str(), later, 0);
        break;
    case Change::Resized:
        WritePicture(file.filename().string(), 20, 10, 0x00998877);
        break;
    case Change::Touched:
        ::utimensat(AT_FDCWD, file.c_str(), later, 0);
        break;
    case Change::PutInItsPlace: { // another file of the same size and time renamed over it
        WritePicture("elsewhere.bmp", costume ? 530 : 75, costume ? 300 : 750, 0x00998877);
        const timespec same[2] = {was.st_atim, was.st_mtim};
        ::utimensat(AT_FDCWD, (Folder() / "elsewhere.bmp").c_str(), same, 0);
        fs::rename(Folder() / "elsewhere.bmp", file);
        break;
    }
    case Change::Removed:
        fs::remove(file);
        break;
    }
    const std::string other = ReadBytes(file);

    host_.ClearRecords();
    host_.ScriptSaveDialog(file.string());
    host_.ScriptAnswer(r.yes);
    Type(r.key);
    const auto& d = host_.Dialogs();
    ASSERT_EQ(d.size(), r.asks ? 2u : 1u);
    if (r.asks) {
        EXPECT_EQ(d[1].Kind, TDialogKind::Question);
        EXPECT_NE(d[1].Text.find("\"" + file.string() + "\""), std::string::npos) << d[1].Text;
    }
    EXPECT_TRUE(host_.MessageBoxes().empty());
    const bool replaced = !r.asks || r.yes;
    EXPECT_EQ(ReadBytes(file) == other, !replaced && r.change != Change::Removed) << "the other program's file";
    if (replaced) {
        const std::vector<uint8_t> ours = EncodeBmp(picture);
        EXPECT_EQ(ReadBytes(file), std::string(ours.begin(), ours.end()));
    }
    for (const std::string& name : Listing(Folder()))
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

INSTANTIATE_TEST_SUITE_P(Saves, ChangedFileTest, ::testing::ValuesIn(kChangedFiles),
                         [](const auto& info) { return std::string(info.param.name); });

// A part file whose name is not UTF-8, found by the part browser: s opens in
// the working folder with exactly those bytes, and Return writes over that
// file; no file appears beside it.
TEST_F(SavePlacesTest, NameThatIsNotUtf8IsSavedOverItself)
{
    StartPortrait();
    const std::string name = "vlm_co\xff\xfe.bmp";
    WritePicture(name, 530, 300, 0x00204080);
    const std::set<std::string> files = Listing(Folder());
    host_.PressKey(VK_F2);
    ASSERT_EQ(S().BrowserCount, 2);
    host_.DoubleClick(20 + 255 + 5, 40 + 5); // the second cell
    ASSERT_EQ(S().CostumeFileName, name);
    ASSERT_EQ(form_->Costume->GetBitmap()->GetPixelColor(100, 15), TColor(0x00204080));
    host_.ScriptColor(0x000000FF);
    Type('2');

    host_.ClearRecords();
    host_.ScriptSaveDialog("");
    Type('s');
    ASSERT_EQ(host_.Dialogs().size(), 1u);
    EXPECT_EQ(host_.Dialogs()[0].FileName, name);
    EXPECT_EQ(host_.Dialogs()[0].InitialDir, fs::current_path().string());
    EXPECT_TRUE(host_.MessageBoxes().empty()) << host_.MessageBoxes()[0].Text;
    EXPECT_EQ(Listing(Folder()), files);
    TBitmap saved;
    ReadBmpFile((Folder() / name).string(), saved);
    EXPECT_EQ(Digest(&saved), Digest(form_->Costume->GetBitmap()));
}

} // namespace
} // namespace velmia::test
