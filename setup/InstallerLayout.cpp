#include "common/ui/Application.h"
#include "setup/DesignFonts.h"
#include "setup/Installer.h"

// The design of the Installer window: its properties and its controls in tab order.
namespace tamsel {

namespace {

// The fill of ProgressBar as 0xRRGGBB.
constexpr std::int32_t kBlue = 0x0000FF;

}  // namespace

Installer::Installer(Application& app, Platform& platform)
    : Form(app, "Installer"),
      Label3("Label3", ControlKind::Label, {60, 60, 4755, 255}),
      InstallDirectory("InstallDirectory", ControlKind::Label, {60, 480, 3375, 195}),
      ChangeDirBTN("ChangeDirBTN", ControlKind::CommandButton, {3120, 420, 1455, 315}),
      OKBTN("OKBTN", ControlKind::CommandButton, {840, 2040, 1035, 315}),
      CancelBTN("CancelBTN", ControlKind::CommandButton, {2820, 2040, 1035, 315}),
      StartMenuGroup("StartMenuGroup", ControlKind::ComboBox, {780, 1560, 2655, 315}),
      Label2("Label2", ControlKind::Label, {60, 900, 4575, 495}),
      ProgressBar("ProgressBar", ControlKind::Shape, {0, 4050, 15, 195}),
      platform_(platform),
      registry_(platform.GetRegistry(), app.Ui()),
      shortcut_(platform.GetAutomation()),
      chooser_(app, platform.GetVolumes(), *this, InstallDirectory) {
    caption = "Tamsel Orry Installer";
    clientWidthTwips = 4770;
    clientHeightTwips = 2490;
    border = BorderStyle::FixedSingle;
    minButton = false;
    maxButton = false;
    closeBox = true;
    centred = true;

    Label3.caption = "Install Tamsel Orry Into the following directory:";
    Label3.font = BoldLabelFont();

    InstallDirectory.caption = "C:\\Program Files\\Tamsel Orry\\";

    ChangeDirBTN.caption = "Change Directory";
    ChangeDirBTN.enabled = false;
    ChangeDirBTN.onClick = [this] { ChangeDirBTN_Click(); };

    OKBTN.caption = "&Install";
    OKBTN.enabled = false;
    OKBTN.onClick = [this] { OKBTN_Click(); };

    CancelBTN.caption = "E&xit";
    CancelBTN.onClick = [this] { CancelBTN_Click(); };

    StartMenuGroup.caption = "Tamsel Orry";

    Label2.caption = "Install Tamsel Orry Shortcuts to the following Start Menu Group";
    Label2.font = BoldLabelFont();

    // Lies below the client area: Setup shows no progress.
    ProgressBar.fillColor = kBlue;

    for (Control* control : {&Label3, &InstallDirectory, &ChangeDirBTN, &OKBTN, &CancelBTN,
                             &StartMenuGroup, &Label2, &ProgressBar}) {
        AddControl(*control);
    }
}

}  // namespace tamsel
