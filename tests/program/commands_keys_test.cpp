// The character commands: where each acts and where it is ignored, the show
// state machine of w and q, the part file loads with hostile and cancelled
// dialogs, the dialogs' initial names and filters.
#include "tests/program/commands_support.h"

#include <functional>
#include <string>

using namespace vcl;

namespace velmia::test {

std::vector<int64_t> CommandTest::Fingerprint()
{
    const PortraitState& s = S();
    std::vector<int64_t> v = {
        s.EarringIndex, s.EarringFrameIndex, s.BraceletIndex, s.FlowerAlt, s.FaceIndex, s.EarringAuto, s.FaceAuto,
        s.BraceletShown, s.LongHair, s.ShaggyHair, s.PankHair, s.OtohimeHair, s.BraceletAuto, s.MainHairHidden,
        s.StringPatternOn, s.ThickStringOn, s.WStringOn, s.CrossStringOn, s.RibbonShown, s.StringPatternIndex,
        s.HairBandShown, s.FlowerShown, s.ChokerShown, s.EyesClosed, s.CamisoleShown,
        // the left set
        s.LeftEarringIndex, s.LeftEarringFrameIndex, s.LeftBraceletIndex, s.LeftFlowerAlt, s.LeftFaceIndex,
        s.LeftEarringAuto, s.LeftFaceAuto, s.LeftBraceletShown, s.LeftLongHair, s.LeftShaggyHair, s.LeftPankHair,
        s.LeftOtohimeHair, s.LeftBraceletAuto, s.LeftMainHairHidden, s.LeftStringPatternOn, s.LeftThickStringOn,
        s.LeftWStringOn, s.LeftCrossStringOn, s.LeftRibbonShown, s.LeftStringPatternIndex, s.LeftHairBandShown,
        s.LeftFlowerShown, s.LeftChokerShown, s.LeftEyesClosed, s.LeftCamisoleShown,
        // views and the redraw request
        s.PortraitMode, s.ShowMode, s.GrayMode, s.QuadMode, s.CloseUpMode, s.CycleCounter, s.SceneIndex, s.ShowOrigin,
        s.MainSwapped, s.CopyToLeftArmed, s.QuadEyesClosed, s.GrayEyesClosed, s.GrayBlinkTable[0], s.QuitRequested};
    return v;
}

uint64_t CommandTest::Digest(const TBitmap* b)
{
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t x) { h = (h ^ x) * 1099511628211ull; };
    mix(uint64_t(b->GetWidth()));
    mix(uint64_t(b->GetHeight()));
    mix(uint64_t(b->GetPixelFormat()));
    for (int y = 0; y < b->GetHeight(); ++y)
        for (int x = 0; x < b->GetWidth(); ++x)
            mix(uint64_t(uint32_t(b->GetPixelColor(x, y))));
    return h;
}

std::filesystem::path CommandTest::SampleBitmaps()
{
    return std::filesystem::path(__FILE__).parent_path() / "../../../shared/testdata/bmp";
}

void CommandTest::EnterView(View v)
{
    switch (v) {
    case View::Portrait:
        break;
    case View::Show:
        EnterShow();
        break;
    case View::Gray:
    case View::Quad:
        S().PortraitMode = false;
        (v == View::Gray ? S().GrayMode : S().QuadMode) = true;
        break;
    case View::Waiting:
        S().ShutCountdown = 3;
        break;
    }
}

namespace {

using View = CommandTest::View;

struct KeyCase {
    char key;
    View acts;
    View ignored;
};

// Every command in a view where it acts and in one where it is ignored.
// Lower case acts on the main figure; the left figure's commands act only in
// the show; saving, the scene list, the scene colour and the bracelet's
// automatic step are not offered in the show; x acts in every view and is
// held back only while a touch waits to close the eyes.
const KeyCase kKeyCases[] = {
    {'~', View::Show, View::Portrait},  {'_', View::Show, View::Portrait},  {'|', View::Show, View::Portrait},
    {'y', View::Portrait, View::Gray},  {'x', View::Gray, View::Waiting},   {'w', View::Show, View::Quad},
    {'v', View::Portrait, View::Gray},  {'t', View::Show, View::Quad},      {'s', View::Portrait, View::Show},
    {'r', View::Portrait, View::Gray},  {'q', View::Portrait, View::Gray},  {'p', View::Show, View::Gray},
    {'o', View::Portrait, View::Quad},  {'n', View::Portrait, View::Gray},  {'l', View::Show, View::Gray},
    {'k', View::Portrait, View::Gray},  {'h', View::Portrait, View::Quad},  {'g', View::Portrait, View::Gray},
    {'f', View::Portrait, View::Gray},  {'e', View::Show, View::Gray},      {'d', View::Portrait, View::Show},
    {'c', View::Portrait, View::Gray},  {'b', View::Portrait, View::Show},  {'a', View::Portrait, View::Gray},
    {'^', View::Portrait, View::Show},  {'\\', View::Portrait, View::Gray}, {'Y', View::Show, View::Portrait},
    {'X', View::Show, View::Portrait},  {'W', View::Show, View::Portrait},  {'V', View::Show, View::Portrait},
    {'T', View::Show, View::Portrait},  {'R', View::Show, View::Portrait},  {'P', View::Show, View::Portrait},
    {'O', View::Show, View::Portrait},  {'N', View::Show, View::Portrait},  {'L', View::Show, View::Portrait},
    {'K', View::Show, View::Portrait},  {'H', View::Show, View::Portrait},  {'G', View::Show, View::Portrait},
    {'F', View::Show, View::Portrait},  {'E', View::Show, View::Portrait},  {'C', View::Show, View::Portrait},
    {'B', View::Show, View::Portrait},  {'A', View::Show, View::Portrait},  {'=', View::Show, View::Portrait},
    {'9', View::Portrait, View::Gray},  {'8', View::Show, View::Quad},      {'7', View::Portrait, View::Gray},
    {'2', View::Portrait, View::Gray},  {'1', View::Portrait, View::Show},  {'0', View::Portrait, View::Gray},
    {'-', View::Portrait, View::Gray},  {')', View::Show, View::Portrait},  {'(', View::Show, View::Portrait},
    {'\'', View::Show, View::Portrait}, {'"', View::Show, View::Portrait},  {'\r', View::Portrait, View::Gray},
    {' ', View::Show, View::Quad},
};

const char* ViewName(View v)
{
    switch (v) {
    case View::Portrait:
        return "portrait";
    case View::Show:
        return "show";
    case View::Gray:
        return "gray view";
    case View::Quad:
        return "four-figure view";
    case View::Waiting:
        return "touched eyes waiting";
    }
    return "?";
}

} // namespace

class KeyTableTest : public CommandTest {
public:
    // Presses the key (every dialog it opens is cancelled); true when the
    // state changed or a dialog was opened.
    bool Acts(char key)
    {
        host_.ClearRecords();
        const auto before = Fingerprint();
        Type(key);
        EXPECT_TRUE(form_->Timer1->GetEnabled()) << "the transaction ends";
        EXPECT_FALSE(S().Busy);
        return Fingerprint() != before || !host_.Dialogs().empty();
    }
};

struct KeyInView {
    char key;
    View view;
    bool acts;
};

std::vector<KeyInView> KeysInViews()
{
    std::vector<KeyInView> v;
    for (const KeyCase& c : kKeyCases) {
        v.push_back({c.key, c.acts, true});
        v.push_back({c.key, c.ignored, false});
    }
    return v;
}

class KeyInViewTest : public KeyTableTest, public ::testing::WithParamInterface<KeyInView> {};

TEST_P(KeyInViewTest, ActsOnlyInItsView)
{
    const KeyInView& c = GetParam();
    StartPortrait();
    EnterView(c.view);
    EXPECT_EQ(Acts(c.key), c.acts) << "key '" << c.key << "' in the " << ViewName(c.view);
}

INSTANTIATE_TEST_SUITE_P(Commands, KeyInViewTest, ::testing::ValuesIn(KeysInViews()),
                         [](const ::testing::TestParamInfo<KeyInView>& info) {
                             return "key" + std::to_string(int(info.param.key)) + "_" +
                                    (info.param.acts ? "acts" : "ignored");
                         });

TEST_F(KeyTableTest, CharactersOutsideTheTableOnlyPassThrough)
{
    StartPortrait();
    for (char key : {'z', 'Z', '3', '@', '#', '}'}) {
        SCOPED_TRACE(int(key));
        EXPECT_FALSE(Acts(key));
    }
}

TEST_F(KeyTableTest, EscapeClosesWhatIsOpenBeforeItQuits)
{
    StartPortrait();
    host_.PressKey(VK_F2); // the costume browser
    ASSERT_TRUE(S().BrowserOpen);
    Type('r');
    EXPECT_TRUE(S().RibbonShown) << "keys wait while the browser is open";
    Type('\x1b');
    EXPECT_FALSE(S().BrowserOpen);
    EXPECT_FALSE(form_->DispTargetsScreen->GetVisible());
    EXPECT_TRUE(form_->Timer1->GetEnabled());
    EXPECT_FALSE(S().QuitRequested);

    form_->logo->SetVisible(true);
    Type('\x1b');
    EXPECT_FALSE(form_->logo->GetVisible());
    EXPECT_FALSE(S().QuitRequested);

    S().CloseUpMode = true;
    S().SavedPortraitMode = true;
    Type('\x1b');
    EXPECT_FALSE(S().CloseUpMode);
    EXPECT_TRUE(S().PortraitMode);
    EXPECT_EQ(S().CycleCounter, 600);
    EXPECT_FALSE(S().QuitRequested);

    Type('\x1b');
    EXPECT_TRUE(S().QuitRequested);
    Tick();
    EXPECT_TRUE(host_.Closed());
}

TEST_F(KeyTableTest, CursorAndMinimiseWorkEvenWhileBusy)
{
    StartPortrait();
    S().Busy = true;
    Type(']');
    EXPECT_FALSE(host_.CursorVisible());
    Type(']');
    EXPECT_TRUE(host_.CursorVisible());
    Type('m');
    EXPECT_EQ(host_.MinimizeCount(), 1);
    Type('r');
    EXPECT_TRUE(S().RibbonShown) << "a table command waits for the tick";
}

// Small steps of the table, each from a given state.
TEST_F(KeyTableTest, StepsWrapAndCycle)
{
    StartPortrait();
    S().EarringFrameIndex = 4;
    Type('g');
    EXPECT_EQ(S().EarringFrameIndex, 0);

    S().StringPatternIndex = 3;
    Type('v');
    EXPECT_EQ(S().StringPatternIndex, 4);
    EXPECT_FALSE(S().StringPatternOn || S().ThickStringOn || S().WStringOn || S().CrossStringOn);
    Type('v');
    EXPECT_EQ(S().StringPatternIndex, 0);
    EXPECT_TRUE(S().StringPatternOn);

    // The flower with short hair: hidden, placement 0, placement 1, hidden.
    const std::pair<bool, int> flower[] = {{true, 0}, {true, 1}, {false, 0}};
    for (const auto& [shown, alt] : flower) {
        Type('t');
        EXPECT_EQ(S().FlowerShown, shown);
        EXPECT_EQ(S().FlowerAlt, alt);
    }

    // y twice: the style comes and goes, the standard hair stays hidden.
    Type('y');
    EXPECT_TRUE(S().ShaggyHair);
    Type('y');
    EXPECT_FALSE(S().ShaggyHair);
    EXPECT_EQ(S().MainHairHidden, 1);

    // f rewinds the automatic face by hand and turns it off.
    S().FaceAuto = true;
    S().FaceIndex = 0;
    Type('f');
    EXPECT_FALSE(S().FaceAuto);
    EXPECT_EQ(S().FaceIndex, S().FaceCount - 1);

    // Shift+Enter moves on one more scene before the redraw; Enter does not.
    S().SceneIndex = 7;
    host_.SetShift(true);
    host_.PressKey(VK_RETURN, '\r');
    host_.SetShift(false);
    EXPECT_EQ(S().SceneIndex, 0);
    host_.PressKey(VK_RETURN, '\r');
    EXPECT_EQ(S().SceneIndex, 0);
}

TEST_F(KeyTableTest, LeftBraceletRewindLeavesTheMainFigure)
{
    StartPortrait();
    EnterShow();
    S().LeftBraceletAuto = true;
    S().LeftBraceletIndex = 0;
    S().BraceletIndex = 2;
    S().BraceletAuto = true;
    Type('B');
    EXPECT_FALSE(S().LeftBraceletAuto);
    EXPECT_EQ(S().LeftBraceletIndex, 4);
    EXPECT_EQ(S().BraceletIndex, 2);
    EXPECT_TRUE(S().BraceletAuto);
}

TEST_F(KeyTableTest, SceneColourNeedsACellOnScreen)
{
    StartPortrait();
    S().SceneIndex = 1; // the built-in scene is on screen
    host_.ScriptColor(0x0000FF);
    Type('1');
    EXPECT_TRUE(host_.Dialogs().empty());
    EXPECT_EQ(host_.PendingAnswers(), 1u);
}

// ---- The show state machine ---------------------------------------------------

struct ShowRow {
    const char* name;
    void (*from)(CommandTest&);
    char key;
    bool show, swapped;
    int origin;
    bool armed;
};

void Nothing(CommandTest&) {}
void Copied(CommandTest& t)
{
    t.Type('q');
}
void InShow(CommandTest& t)
{
    t.EnterShow();
}
void LeftTakenOut(CommandTest& t)
{
    t.EnterShow();
    t.Type('q');
}
void LeftShowByW(CommandTest& t)
{
    t.EnterShow();
    t.Type('w');
}

const ShowRow kShowRows[] = {
    {"PortraitOrigin0_w_Ignored", Nothing, 'w', false, false, 0, true},
    {"PortraitArmed_q_CopiesTheFigure", Nothing, 'q', false, false, 1, true},
    {"PortraitOrigin1_w_StartsTheShow", Copied, 'w', true, false, 2, true},
    {"Show_w_LeavesIt", InShow, 'w', false, false, 1, false},
    {"Show_q_TakesTheLeftFigureOut", InShow, 'q', false, true, 1, true},
    {"LeftFigureOut_w_ReturnsToTheShow", LeftTakenOut, 'w', true, false, 2, true},
    {"LeftFigureOut_q_ReturnsToTheShow", LeftTakenOut, 'q', true, false, 2, true},
    {"LeftByW_q_OnlyArmsTheCopy", LeftShowByW, 'q', false, false, 1, true},
};

class ShowStateTest : public KeyTableTest, public ::testing::WithParamInterface<ShowRow> {};

TEST_P(ShowStateTest, Transition)
{
    const ShowRow& row = GetParam();
    StartPortrait();
    row.from(*this);
    Type(row.key);
    EXPECT_EQ(S().ShowMode, row.show);
    EXPECT_EQ(S().PortraitMode, !row.show);
    EXPECT_EQ(S().MainSwapped, row.swapped);
    EXPECT_EQ(S().ShowOrigin, row.origin);
    EXPECT_EQ(S().CopyToLeftArmed, row.armed);
}

INSTANTIATE_TEST_SUITE_P(Keys, ShowStateTest, ::testing::ValuesIn(kShowRows),
                         [](const ::testing::TestParamInfo<ShowRow>& info) { return std::string(info.param.name); });

// The figure taken out of the show is edited in the portrait view and goes
// back as the left figure; the main figure comes back unchanged.
TEST_F(KeyTableTest, FigureTakenOutComesBackAsTheLeftFigure)
{
    StartPortrait();
    EnterShow();
    Type('k'); // the main figure wears the choker
    Type('q');
    EXPECT_FALSE(S().ChokerShown) << "the portrait shows the left figure";
    Type('r'); // edit it: no ribbon
    Type('q');
    EXPECT_TRUE(S().ShowMode);
    EXPECT_TRUE(S().ChokerShown);
    EXPECT_TRUE(S().RibbonShown);
    EXPECT_FALSE(S().LeftRibbonShown);
    EXPECT_FALSE(S().LeftChokerShown);
}

// ---- Part files ------------------------------------------------------------------

struct LoadCase {
    char key;
    View view;
    const char* initialName;
    const char* filter; // start of the dialog's filter
    std::function<TBitmap*(TSvelmia&)> target;
    std::string PortraitState::*fileName;
};

const LoadCase kLoads[] = {
    {'~', View::Show, "vlm_hb", "hairband files|vlm_hb.bmp", [](TSvelmia& f) { return f.State().HairBandWork; },
     &PortraitState::HairBandFileName},
    {'_', View::Show, "vlm_co", "costume files|vlm_co.bmp", [](TSvelmia& f) { return f.State().CostumeWork; },
     &PortraitState::CostumeFileName},
    {'^', View::Portrait, "vlm_scenelist", "scene files|vlm_scenelist.bmp",
     [](TSvelmia& f) { return f.SceneList->GetBitmap(); }, &PortraitState::SceneListFileName},
    {'\\', View::Portrait, "vlm_co", "costume files|vlm_co.bmp", [](TSvelmia& f) { return f.Costume->GetBitmap(); },
     &PortraitState::CostumeFileName},
    {'=', View::Show, "vlm_ri", "ribborn files|vlm_ri.bmp", [](TSvelmia& f) { return f.State().RibbonWork; },
     &PortraitState::RibbonFileName},
    {'9', View::Portrait, "vlm_fl", "flower|vlm_fl.bmp", [](TSvelmia& f) { return f.FlowerPict->GetBitmap(); },
     &PortraitState::FlowerFileName},
    {'8', View::Portrait, "vlm_ch", "choker|vlm_ch.bmp;_vlm_ch?.bmp", [](TSvelmia& f) { return f.Choker->GetBitmap(); },
     &PortraitState::ChokerFileName},
    {'7', View::Portrait, "vlm_ca", "camisole|vlm_ca.bmp", [](TSvelmia& f) { return f.Camisole->GetBitmap(); },
     &PortraitState::CamisoleFileName},
    {'0', View::Portrait, "vlm_hb", "hairband files|vlm_hb.bmp", [](TSvelmia& f) { return f.HairBand->GetBitmap(); },
     &PortraitState::HairBandFileName},
    {'-', View::Portrait, "vlm_ribborn", "ribborn files|vlm_ri.bmp", [](TSvelmia& f) { return f.Ribborn->GetBitmap(); },
     &PortraitState::RibbonFileName},
    {')', View::Show, "vlm_fl", "flower|vlm_fl.bmp", [](TSvelmia& f) { return f.State().FlowerWork; },
     &PortraitState::FlowerFileName},
    {'(', View::Show, "vlm_ch", "choker|vlm_ch.bmp", [](TSvelmia& f) { return f.State().ChokerWork; },
     &PortraitState::ChokerFileName},
    {'\'', View::Show, "vlm_ca", "camisole|vlm_ca.bmp", [](TSvelmia& f) { return f.State().CamisoleWork; },
     &PortraitState::CamisoleFileName},
};

class PartLoadTest : public KeyTableTest {
protected:
    // Every picture and mask a load may touch.
    std::vector<uint64_t> Pictures()
    {
        const PortraitState& s = S();
        std::vector<uint64_t> v;
        for (TImage* i : {form_->Costume, form_->Camisole, form_->Ribborn, form_->HairBand, form_->FlowerPict,
                          form_->Choker, form_->SceneList})
            v.push_back(Digest(i->GetBitmap()));
        for (TBitmap* b :
             {s.CostumeWork, s.CamisoleWork, s.RibbonWork, s.HairBandWork, s.FlowerWork, s.ChokerWork, s.CamisoleMask,
              s.HairBandMask, s.RibbonMask, s.CamisoleWorkMask, s.HairBandWorkMask, s.RibbonWorkMask})
            v.push_back(Digest(b));
        return v;
    }
};

class PartLoadKeyTest : public PartLoadTest, public ::testing::WithParamInterface<LoadCase> {
public:
    void SetUp() override
    {
        PartLoadTest::SetUp();
        if (IsSkipped())
            return;
        StartPortrait();
        EnterView(GetParam().view);
        host_.ClearRecords();
    }
};

TEST_P(PartLoadKeyTest, DialogOpensWithItsNameAndFilter)
{
    const LoadCase& c = GetParam();
    Type(c.key);
    ASSERT_EQ(host_.Dialogs().size(), 1u);
    const DialogRecord& d = host_.Dialogs()[0];
    EXPECT_EQ(d.Kind, TDialogKind::Open);
    EXPECT_EQ(d.FileName, c.initialName);
    EXPECT_EQ(d.DefaultExt, "bmp");
    EXPECT_EQ(d.Filter.rfind(c.filter, 0), 0u) << d.Filter;
}

// A cancelled dialog and a file that is not a readable bitmap change no
// picture, mask or file name; the bad file is named in one message box; the
// transaction ends either way.
TEST_P(PartLoadKeyTest, HostileAndCancelledLoadsChangeNothing)
{
    const LoadCase& c = GetParam();
    const auto bad = SampleBitmaps() / "bmpsuite/b";
    if (!std::filesystem::exists(bad))
        GTEST_SKIP() << "no sample bitmaps at " << bad;
    for (const char* file : {"", "shortfile.bmp", "pal8badindex.bmp", "reallybig.bmp"}) {
        SCOPED_TRACE(std::string("file '") + file + "'");
        const std::string path = (bad / file).string();
        if (*file)
            host_.ScriptOpenDialog(path);
        else
            host_.ScriptCancel();
        host_.ClearRecords();
        const auto pictures = Pictures();
        const std::string name = S().*c.fileName;
        Type(c.key);
        EXPECT_EQ(Pictures(), pictures);
        EXPECT_EQ(S().*c.fileName, name);
        EXPECT_FALSE(S().Busy);
        EXPECT_TRUE(form_->Timer1->GetEnabled());
        if (*file) {
            ASSERT_EQ(host_.MessageBoxes().size(), 1u);
            EXPECT_NE(host_.MessageBoxes()[0].Text.find(path), std::string::npos) << host_.MessageBoxes()[0].Text;
        } else {
            EXPECT_TRUE(host_.MessageBoxes().empty());
        }
    }
}

// Readable files of other sizes are taken as they are; nothing reads or
// writes outside the pictures, and the figure is composed with them.
TEST_P(PartLoadKeyTest, ReadableFilesOfOtherSizesAreTaken)
{
    const LoadCase& c = GetParam();
    for (auto [w, h] : {std::pair{7, 5}, std::pair{900, 800}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        WritePicture("vlm_part.bmp", w, h, 0x00204080);
        host_.ScriptOpenDialog("vlm_part.bmp");
        Type(c.key);
        EXPECT_TRUE(host_.MessageBoxes().empty());
        EXPECT_EQ(S().*c.fileName, "vlm_part.bmp");
        const TBitmap* target = c.target(*form_);
        // Plain parts take the file's size; strips keep theirs with the
        // picture in the lower cell.
        EXPECT_TRUE(Px(target, 3, 4) == 0x00204080 || Px(target, 3, target->GetHeight() / 2 + 2) == 0x00204080);
        Compose();
        Tick(40);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, PartLoadKeyTest, ::testing::ValuesIn(kLoads),
                         [](const ::testing::TestParamInfo<LoadCase>& info) {
                             return "key" + std::to_string(int(info.param.key));
                         });

TEST_F(PartLoadTest, StripLoadBuildsTheMaskCell)
{
    StartPortrait();
    WritePicture("vlm_fl7.bmp", 100, 120, 0x000000C0);
    host_.ScriptOpenDialog("vlm_fl7.bmp");
    Type('9');
    EXPECT_TRUE(S().FlowerShown);
    EXPECT_EQ(Px(form_->FlowerPict, 50, 180), 0x000000C0);
    EXPECT_EQ(Px(form_->FlowerPict, 50, 60), clBlack) << "opaque everywhere";

    // A smaller picture: the rest of the cell is transparent, not the old flower.
    WritePicture("vlm_fl8.bmp", 10, 10, 0x000000C0);
    host_.ScriptOpenDialog("vlm_fl8.bmp");
    Type('9');
    EXPECT_EQ(Px(form_->FlowerPict, 50, 180), clWhite);
    EXPECT_EQ(Px(form_->FlowerPict, 50, 60), clWhite);
    EXPECT_EQ(Px(form_->FlowerPict, 5, 5), clBlack);
}

TEST_F(PartLoadTest, CancelledLoadsStillRedrawWhereTheTableSaysSo)
{
    StartPortrait();
    const int scene = S().SceneIndex;
    Type('9'); // no answer: cancelled
    EXPECT_EQ(S().CycleCounter, 600);
    EXPECT_EQ(S().SceneIndex, scene - 1) << "stepped back for the redraw";
    S().CycleCounter = 5;
    Type('\\');
    EXPECT_EQ(S().CycleCounter, 5) << "the costume redraws only after a load";
}

} // namespace velmia::test
