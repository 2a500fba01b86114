// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The form's components: created in declaration order with the sizes and
// embedded pictures of the window description, and the event bindings.
#include "shell/Velmiaunit1.h"

#include "resources/EmbeddedPictures.h"
#include "toolkit/Intl.h"

#include <memory>

TSvelmia* Svelmia = nullptr;

namespace {

// Gives `image` the picture embedded for it (if it has one), decoded when it
// is first used: several serve only views or commands that may never run.
// The embedded bytes are part of the program and always decode.
void LoadEmbeddedPicture(vcl::TImage* image)
{
    auto data = velmia::resources::EmbeddedPictureData(image->GetName());
    if (data.empty())
        return;
    image->GetPicture()->SetBitmapOnFirstUse([data, name = image->GetName()] {
        auto bitmap = std::make_unique<vcl::TBitmap>();
        vcl::DecodeBmp(data, *bitmap, name);
        return bitmap;
    });
}

} // namespace

TSvelmia::TSvelmia(bool watchPartFiles) : watchPartFiles_(watchPartFiles)
{
    // Components the form owns besides its image controls.
    auto timer = [this](const char* name, unsigned interval) {
        auto* t = new vcl::TTimer(name, interval);
        owned_.emplace_back(t);
        return t;
    };
    auto image = [this](const char* name, int left, int top, int width, int height) {
        vcl::TImage* img = NewImage(name, left, top, width, height);
        LoadEmbeddedPicture(img);
        return img;
    };
    auto openDialog = [this] {
        auto* d = new vcl::TOpenPictureDialog();
        d->DefaultExt = "bmp";
        owned_.emplace_back(d);
        return d;
    };
    auto saveDialog = [this] {
        auto* d = new vcl::TSavePictureDialog();
        d->DefaultExt = "bmp";
        owned_.emplace_back(d);
        return d;
    };
    auto colorDialog = [this] {
        auto* d = new vcl::TColorDialog();
        owned_.emplace_back(d);
        return d;
    };

    // Declaration order is creation order (and the order in which the window
    // stacks the visible controls).
    Timer1 = timer("Timer1", 100);
    Mainpict = image("Mainpict", 0, 0, 800, 300);
    CloseeyePict = image("CloseeyePict", 0, 0, 243, 123);
    mySubcanvas = image("mySubcanvas", 0, 300, 800, 300);
    EarringListPict = image("EarringListPict", 0, 0, 330, 600);
    MainPictList = image("MainPictList", 0, 0, 800, 600);
    SceneStrawberry_Main = image("SceneStrawberry_Main", 0, 0, 800, 600);
    SceneList = image("SceneList", 0, 0, 400, 600);
    SceneStrawberry_Sub = image("SceneStrawberry_Sub", 0, 0, 800, 600);
    SubPictList = image("SubPictList", 0, 0, 800, 900);
    BraceletList = image("BraceletList", 0, 0, 130, 240);
    CloseEyePictGray = image("CloseEyePictGray", 0, 0, 243, 123);
    SubPictListGray = image("SubPictListGray", 0, 0, 800, 900);
    MainPictGray = image("MainPictGray", 0, 0, 800, 300);
    Small4Pict = image("Small4Pict", 0, 0, 800, 600);
    SmallClosedPict0 = image("SmallClosedPict0", 110, 0, 130, 60);
    SmallClosedPict01 = image("SmallClosedPict01", 510, 0, 130, 60);
    SmallClosedPict1 = image("SmallClosedPict1", 110, 300, 130, 60);
    SmallClosedPict11 = image("SmallClosedPict11", 510, 300, 130, 60);
    OpenPictureDialog1 = openDialog();
    ColorDialog1 = colorDialog();
    SavePictureDialog1 = saveDialog();
    OpenPictureDialog2 = openDialog();
    CloseeyePict_lg = image("CloseeyePict_lg", 0, 0, 243, 123);
    HairNotLong = image("HairNotLong", 0, 0, 260, 260);
    HairLong = image("HairLong", 0, 0, 260, 260);
    StringPattern = image("StringPattern", 0, 0, 280, 630);
    ColorDialog2 = colorDialog();
    SavePictureDialog2 = saveDialog();
    HairMain = image("HairMain", 0, 0, 600, 300);
    HairSub = image("HairSub", 0, 0, 500, 120);
    HairBottom = image("HairBottom", 0, 0, 60, 50);
    HerimPattern = image("HerimPattern", 0, 0, 530, 300);
    subworkcanvas = image("subworkcanvas", 0, 0, 840, 750);
    Costume = image("Costume", 0, 0, 530, 300);
    CrossStringPattern = image("CrossStringPattern", 0, 0, 290, 570);
    Ribborn = image("Ribborn", 0, 0, 200, 80);
    OpenPictureDialog3 = openDialog();
    WStringPattern = image("WStringPattern", 0, 0, 390, 480);
    mainsave = image("mainsave", 0, 0, 420, 300);
    HairBand = image("HairBand", 0, 0, 80, 100);
    OpenPictureDialog4 = openDialog();
    scenebuff = image("scenebuff", 0, 0, 75, 75);
    FlowerPict = image("FlowerPict", 0, 0, 100, 240);
    OpenPictureDialog5 = openDialog();
    CloseEye_disp = image("CloseEye_disp", 238, 0, 243, 123);
    Timer2 = timer("Timer2", 200);
    EyeSave = image("EyeSave", 0, 0, 243, 123);
    Choker = image("Choker", 0, 0, 150, 300);
    OpenPictureDialog6 = openDialog();
    Hair_LongLeft = image("Hair_LongLeft", 0, 0, 150, 300);
    CloseEye_disp_Left = image("CloseEye_disp_Left", 0, 0, 243, 123);
    EyeSave_Left = image("EyeSave_Left", 0, 0, 243, 123);
    ThickStringPattern = image("ThickStringPattern", 0, 0, 290, 210);
    Camisole = image("Camisole", 0, 0, 550, 750);
    OpenPictureDialog7 = openDialog();
    Background = image("Background", 0, 0, 105, 105);
    Streaming = image("Streaming", 0, 0, 100, 100);
    StarList = image("StarList", 0, 0, 120, 500);
    DispTargetsScreen = image("DispTargetsScreen", 20, 310, layout::kBrowserWidth, layout::kBrowserHeight);
    CloseEye_disp_stretch = image("CloseEye_disp_stretch", 0, 0, 500, 280);
    EarringFrameList = image("EarringFrameList", 0, 0, 340, 600);
    eyework = image("eyework", 0, 0, 250, 130);
    HairSide = image("HairSide", 0, 0, 420, 200);
    logo = image("logo", layout::kBannerAt.x, layout::kBannerAt.y, 260, 120);
    WatchTimer = timer("WatchTimer", 250);

    DispTargetsScreen->SetCenter(true);

    // Dialog filters: the default part file and variants with one or two
    // more characters before ".bmp".
    OpenPictureDialog1->Filter = std::string(_("costume files")) + "|vlm_co.bmp;vlm_co?.bmp;vlm_co??.bmp";
    OpenPictureDialog2->Filter =
        std::string(_("scene files")) + "|vlm_scenelist.bmp;vlm_scenelist?.bmp;vlm_scenelist??.bmp";
    // TRANSLATORS: "ribborn" is the ribbon, as this filter has always been named.
    OpenPictureDialog3->Filter = std::string(_("ribborn files")) + "|vlm_ri.bmp;vlm_ri?.bmp;vlm_ri??.bmp";
    OpenPictureDialog4->Filter = std::string(_("hairband files")) + "|vlm_hb.bmp;vlm_hb?.bmp;vlm_hb??.bmp";
    OpenPictureDialog5->Filter = std::string(_("flower")) + "|vlm_fl.bmp;vlm_fl?.bmp;vlm_fl??.bmp";
    OpenPictureDialog6->Filter = std::string(_("choker")) + "|vlm_ch.bmp;_vlm_ch?.bmp;vlm_ch??.bmp";
    OpenPictureDialog7->Filter = std::string(_("camisole")) + "|vlm_ca.bmp;vlm_ca?.bmp;vlm_ca??.bmp";
    SavePictureDialog1->Filter =
        std::string(_("scene files")) + "|vlm_scenelist.bmp;vlm_scenelist?.bmp;vlm_scenelist??.bmp";
    SavePictureDialog2->Filter = std::string(_("costume files")) + "|vlm_co.bmp;vlm_co?.bmp;vlm_co??.bmp";
    // Initial colours of the scene and hem colour dialogs.
    ColorDialog1->Color = 0xFF00FF; // fuchsia
    ColorDialog2->Color = vcl::clBlack;

    // Form properties of the window description.
    SetBorderStyle(vcl::TBorderStyle::bsNone);
    SetClientWidth(800);
    SetClientHeight(600);
    Color = vcl::clWindow;

    // Event bindings of the window description.
    OnCreate = [this](vcl::TObject* sender) { FormCreate(sender); };
    OnClose = [this](vcl::TObject* sender, vcl::TCloseAction& action) { FormClose(sender, action); };
    Timer1->OnTimer = [this](vcl::TObject* sender) { Timer1Timer(sender); };
    Timer2->OnTimer = [this](vcl::TObject* sender) { Timer2Timer(sender); };
    WatchTimer->OnTimer = [this](vcl::TObject* sender) { WatchTimerTimer(sender); };
    // The window may sleep through the ticks that only count.
    Timer1->TicksUntilChange = [this] { return TicksUntilChange(); };
    // Every tick and every command holds Timer1 while it runs; holding it
    // never delays the next tick, so that keys repeating faster than the
    // ticks do not stop her breathing, blinking and the scene changes.
    Timer1->KeepsRhythm = true;
    // Key commands.
    OnKeyPress = [this](vcl::TObject* sender, char& key) { FormKeyPress(sender, key); };
    // Pointer subsystem: special keys, mouse, wheel and the part browser.
    OnKeyDown = [this](vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift) {
        FormKeyDown(sender, key, shift);
    };
    OnMouseDown = [this](vcl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
        FormMouseDown(sender, button, shift, x, y);
    };
    OnClick = [this](vcl::TObject* sender) { FormClick(sender); };
    OnDblClick = [this](vcl::TObject* sender) { FormDblClick(sender); };
    OnMouseWheelUp = [this](vcl::TObject* sender, vcl::TShiftState shift, vcl::TPoint pos, bool& handled) {
        FormMouseWheelUp(sender, shift, pos, handled);
    };
    OnMouseWheelDown = [this](vcl::TObject* sender, vcl::TShiftState shift, vcl::TPoint pos, bool& handled) {
        FormMouseWheelDown(sender, shift, pos, handled);
    };
    DispTargetsScreen->OnDblClick = [this](vcl::TObject* sender) { DispTargetsScreenDblClick(sender); };
    DispTargetsScreen->OnMouseDown = [this](vcl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift,
                                            int x, int y) { DispTargetsScreenMouseDown(sender, button, shift, x, y); };
}

TSvelmia::~TSvelmia()
{
    owned_.clear(); // timers and dialogs

    if (Svelmia == this)
        Svelmia = nullptr;
}
