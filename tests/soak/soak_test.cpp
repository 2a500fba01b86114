// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The driver's own parts: the replay line format, the folder of part
// variants, and the invariants, which must name what a broken state breaks.
#include "toolkit/BmpCodec.h"
#include "tools/soak/Driver.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace velmia::soak;

namespace {

fs::path Artwork()
{
    if (const char* env = std::getenv("VELMIA_ARTWORK_DIR"); env && *env)
        return env;
    return VELMIA_SOAK_ARTWORK;
}

Event Make(EventKind kind, int code = 0, int x = 0, int y = 0)
{
    Event e;
    e.kind = kind;
    e.code = code;
    e.x = x;
    e.y = y;
    return e;
}

TEST(SoakEvents, EveryKindSurvivesTheReplayLine)
{
    struct Case {
        Event event;
        const char* line;
    };
    Event ch = Make(EventKind::Char, '\\');
    ch.answer = {Answer::Kind::Open, "vlm_co_small.bmp", 0};
    Event key = Make(EventKind::Key, 37);
    key.shift = key.ctrl = true;
    Event dbl = Make(EventKind::DblClick, 0, 310, 480);
    dbl.shift = true;
    Event save = Make(EventKind::Char, 's');
    save.answer = {Answer::Kind::Save, "vlm_co.bmp/x.bmp", 0};
    Event colour = Make(EventKind::Char, '1');
    colour.answer = {Answer::Kind::Colour, {}, 0xFEFFFF};
    Event cancel = Make(EventKind::Char, '7');
    cancel.answer = {Answer::Kind::Cancel, {}, 0};
    Event pick = Make(EventKind::Pick, 0, 3);
    Event check = Make(EventKind::Check);
    check.name = "part-size";
    check.arg = "92:small";
    const Case cases[] = {
        {Make(EventKind::Tick1), "tick1"},
        {Make(EventKind::Tick2), "tick2"},
        {ch, "char code=92 answer=open:vlm_co_small.bmp"},
        {key, "key code=37 shift=1 ctrl=1"},
        {dbl, "dblclick x=310 y=480 shift=1"},
        {save, "char code=115 answer=save:vlm_co.bmp/x.bmp"},
        {colour, "char code=49 answer=colour:16711679"},
        {cancel, "char code=55 answer=cancel"},
        {pick, "pick cell=3"},
        {check, "check name=part-size arg=92:small"},
        {Make(EventKind::WheelDown), "wheeldown"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatEvent(c.event), c.line);
        const std::optional<Event> back = ParseEvent(c.line);
        ASSERT_TRUE(back) << c.line;
        EXPECT_EQ(FormatEvent(*back), c.line);
    }
}

TEST(SoakEvents, LinesThatAreNotEventsAreRefused)
{
    for (const char* line : {"", "tock", "char code=x", "click x=1 z=2",
                             "char code=1 answer=open:", "char code=1 answer=colour:red", "key 37"})
        EXPECT_FALSE(ParseEvent(line)) << line;
}

class SoakFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::make_unique<PartFolder>(Artwork());
        previous_ = fs::current_path();
        fs::current_path(folder_->Path());
    }
    void TearDown() override
    {
        session_.reset();
        fs::current_path(previous_);
        folder_.reset();
    }
    static std::unique_ptr<vcl::TBitmap> Read(const std::string& name)
    {
        auto b = std::make_unique<vcl::TBitmap>();
        vcl::ReadBmpFile(name, *b);
        return b;
    }

    std::unique_ptr<PartFolder> folder_;
    std::unique_ptr<Session> session_;
    fs::path previous_;
};

TEST_F(SoakFolder, VariantsDifferFromTheDefaultAsTheirNamesSay)
{
    for (const PartKind& kind : PartKinds()) {
        SCOPED_TRACE(kind.key);
        const auto basep = Read(kind.baseFile);
        const auto smallp = Read(PartFolder::VariantFile(kind, Variant::Smaller));
        const auto paddedp = Read(PartFolder::ReferenceFile(kind, Variant::Smaller));
        const auto largep = Read(PartFolder::VariantFile(kind, Variant::Larger));
        const auto palettedp = Read(PartFolder::VariantFile(kind, Variant::Paletted));
        EXPECT_LT(smallp->GetWidth(), basep->GetWidth());
        EXPECT_LT(smallp->GetHeight(), basep->GetHeight());
        EXPECT_EQ(paddedp->GetWidth(), basep->GetWidth());
        EXPECT_EQ(paddedp->GetHeight(), basep->GetHeight());
        EXPECT_GT(largep->GetWidth(), basep->GetWidth());
        EXPECT_GT(largep->GetHeight(), basep->GetHeight());
        EXPECT_EQ(palettedp->GetPixelFormat(), vcl::pf8bit);
        // The padding is white, the part's top-left corner is kept.
        EXPECT_EQ(paddedp->GetPixelColor(basep->GetWidth() - 1, basep->GetHeight() - 1), vcl::clWhite);
        EXPECT_EQ(paddedp->GetPixelColor(0, 0), basep->GetPixelColor(0, 0));
        EXPECT_EQ(largep->GetPixelColor(basep->GetWidth() - 1, 0), basep->GetPixelColor(basep->GetWidth() - 1, 0));
        EXPECT_THROW(Read(PartFolder::VariantFile(kind, Variant::Unreadable)), std::exception);
    }
}

TEST_F(SoakFolder, UnwritableSaveTargetsFailEvenForTheSuperUser)
{
    vcl::TBitmap b(4, 4, vcl::pf24bit);
    for (const std::string& path : PartFolder::UnwritableSaves())
        EXPECT_THROW(vcl::WriteBmpFile(path, b), std::exception) << path;
    for (const std::string& path : PartFolder::WritableSaves())
        EXPECT_NO_THROW(vcl::WriteBmpFile(path + (path.ends_with(".bmp") ? "" : ".bmp"), b)) << path;
}

TEST_F(SoakFolder, InvariantsHoldAfterStartUpAndNameWhatABrokenStateBreaks)
{
    session_ = std::make_unique<Session>();
    TSvelmia& form = *session_->form;
    session_->host->FireTimer(form.Timer1, 2);
    auto failing = [&] {
        const Probe probe{form, *session_->baseline, session_->host->WindowPicture()};
        std::vector<std::string> names;
        for (const auto& [name, detail] : CheckInvariants(probe))
            names.push_back(name);
        return names;
    };
    ASSERT_EQ(failing(), std::vector<std::string>{});

    struct Case {
        const char* expected;
        std::function<void(PortraitState&)> breakIt;
    };
    const Case cases[] = {
        {"cycle counter", [](PortraitState& s) { s.CycleCounter = 601; }},
        {"face index", [](PortraitState& s) { s.FaceIndex = s.FaceCount; }},
        {"five-cell indices", [](PortraitState& s) { s.LeftBraceletIndex = 5; }},
        {"scene index", [](PortraitState& s) { s.SceneIndex = -1; }},
        {"string pattern", [](PortraitState& s) { s.CamisoleShown = true; }},
        {"string pattern", [](PortraitState& s) { s.StringPatternIndex = 2; }},
        {"pan limits", [](PortraitState& s) { s.PanX = 540; }},
        {"show layout", [](PortraitState& s) { s.ShowRightGap = 200; }},
        {"close-up zoom", [](PortraitState& s) { s.ZoomPercent = 145; }},
        {"gray blink table", [](PortraitState& s) { s.GrayEyesClosed = true; }},
        {"display-mode precedence", [](PortraitState& s) { s.GrayMode = true; }},
        {"busy between events", [](PortraitState& s) { s.Busy = true; }},
        {"browser page", [](PortraitState& s) { s.BrowserPage = 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        PortraitState& s = form.MutableState();
        // Copy the plain values back afterwards (the pictures stay put).
        const int cycle = s.CycleCounter, face = s.FaceIndex, bracelet = s.LeftBraceletIndex, scene = s.SceneIndex,
                  pan = s.PanX, gap = s.ShowRightGap, zoom = s.ZoomPercent, pattern = s.StringPatternIndex;
        const bool camisole = s.CamisoleShown, grayEyes = s.GrayEyesClosed, gray = s.GrayMode, busy = s.Busy;
        c.breakIt(s);
        EXPECT_EQ(failing(), std::vector<std::string>{c.expected});
        s.CycleCounter = cycle, s.FaceIndex = face, s.LeftBraceletIndex = bracelet, s.SceneIndex = scene;
        s.PanX = pan, s.ShowRightGap = gap, s.ZoomPercent = zoom, s.StringPatternIndex = pattern;
        s.CamisoleShown = camisole, s.GrayEyesClosed = grayEyes, s.GrayMode = gray, s.Busy = busy;
        s.BrowserPage = 0;
    }

    // A picture that changes its size, or disappears.
    vcl::TBitmap* costume = form.MutableState().CostumeWork.get();
    costume->SetSize(10, 10);
    EXPECT_EQ(failing(), std::vector<std::string>{"picture shapes"});
    costume->SetSize(530, 300);
    form.Mainpict->GetBitmap()->SetHeight(200);
    EXPECT_EQ(failing(), std::vector<std::string>{"portrait pictures"});
    form.Mainpict->GetBitmap()->SetHeight(300);
    EXPECT_EQ(failing(), std::vector<std::string>{});

    // The folder's chokers fill three browser pages: the third is the last.
    session_->host->PressKey(vcl::VK_F7);
    ASSERT_TRUE(form.State().BrowserOpen);
    form.MutableState().BrowserPage = 2;
    EXPECT_EQ(failing(), std::vector<std::string>{});
    form.MutableState().BrowserPage = 3;
    EXPECT_EQ(failing(), std::vector<std::string>{"browser page"});
    form.MutableState().BrowserPage = 0;
}

TEST(SoakRuns, TheSameSeedGivesTheSameRunAndAnotherSeedAnother)
{
    Options options;
    options.artwork = Artwork();
    options.ticks = 200;
    options.eventsPerTick = 0.5;
    options.checkEvery = 40;
    options.quiet = true;
    options.keepGoing = true;
    auto run = [&](uint64_t seed) {
        options.seed = seed;
        Driver d(options);
        d.Run();
        return d.Fingerprint();
    };
    const uint64_t first = run(11);
    EXPECT_EQ(run(11), first);
    EXPECT_NE(run(12), first);
}

TEST(SoakRuns, ShrinkingKeepsOnlyWhatTheFailureNeeds)
{
    // With no time allowed every event is a hang: one event is enough.
    Options options;
    options.artwork = Artwork();
    options.stepLimitSeconds = -1;
    std::vector<Event> events;
    for (int i = 0; i < 6; ++i)
        events.push_back(Make(i % 3 ? EventKind::Tick1 : EventKind::WheelUp));
    EXPECT_EQ(Shrink(options, events, "hang").size(), 1u);
    // A failure the events never show leaves them as they are.
    EXPECT_EQ(Shrink(options, events, "scene index").size(), events.size());
}

} // namespace
