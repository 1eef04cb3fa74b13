#include "setup/ChooseDirFRM.h"
#include "setup/DesignFonts.h"

// The design of the "Install To..." dialog: its properties and its controls in tab order.
namespace tamsel {

ChooseDirFRM::ChooseDirFRM(Application& app, Volumes& volumes, Form& owner, Control& targetLabel)
    : Form(app, "ChooseDirFRM"),
      OKButton("OKButton", ControlKind::CommandButton, {3900, 120, 1215, 375}),
      CancelButton("CancelButton", ControlKind::CommandButton, {3900, 600, 1215, 375}),
      Label1("Label1", ControlKind::Label, {3960, 2280, 675, 255}),
      Label2("Label2", ControlKind::Label, {120, 120, 1095, 315}),
      DriveBox("DriveBox", {3900, 2640, 1275, 315}, volumes),
      DirBox("DirBox", {1320, 600, 2415, 2340}, volumes),
      Dir("Dir", ControlKind::TextBox, {1320, 120, 2415, 315}),
      owner_(owner),
      targetLabel_(targetLabel) {
    caption = "Install To...";
    clientWidthTwips = 5265;
    clientHeightTwips = 3180;
    border = BorderStyle::FixedDialog;
    minButton = false;
    maxButton = false;

    OKButton.caption = "OK";
    OKButton.onClick = [this] { OKButton_Click(); };
    CancelButton.caption = "Cancel";
    CancelButton.onClick = [this] { CancelButton_Click(); };

    Label1.caption = "Drives:";
    Label1.font = BoldLabelFont();
    Label2.caption = "Directory:";
    Label2.font = BoldLabelFont();

    DriveBox.onChange = [this] { DriveBox_Change(); };
    DirBox.onChange = [this] { DirBox_Change(); };

    for (Control* control :
         {&OKButton, &CancelButton, &Label1, &Label2, static_cast<Control*>(&DriveBox),
          static_cast<Control*>(&DirBox), &Dir}) {
        AddControl(*control);
    }
}

}  // namespace tamsel
