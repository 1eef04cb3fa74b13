#include "common/ui/Application.h"
#include "uninstall/RemovalNames.h"
#include "uninstall/Remove.h"

namespace tamsel {

// The window's design: caption, size and the controls in tab order (twips).
Remove::Remove(Application& app, Platform& platform)
    : Form(app, "Remove"),
      OKButton("OKButton", ControlKind::CommandButton, {2160, 600, 1095, 375}),
      Label1("Label1", ControlKind::Label, {120, 120, 4455, 375}),
      NoButton("NoButton", ControlKind::CommandButton, {3480, 600, 1095, 375}),
      platform_(platform),
      registry_(platform.GetRegistry(), app.Ui()),
      shortcut_(platform.GetAutomation()) {
    caption = removal::kCaption;
    clientWidthTwips = 4695;
    clientHeightTwips = 1005;
    border = BorderStyle::Sizable;
    minButton = true;
    maxButton = true;
    closeBox = true;
    centred = true;

    OKButton.caption = "Yes";
    Label1.caption = removal::kQuestion;
    NoButton.caption = "No";

    // "No" answers Esc. It is not the default button: "Yes" has the focus when the window
    // opens, and Enter on the focused button must press that button, not "No".
    NoButton.isCancel = true;

    OKButton.onClick = [this] { OKButton_Click(); };
    NoButton.onClick = [this] { NoButton_Click(); };

    AddControl(OKButton);
    AddControl(Label1);
    AddControl(NoButton);
}

}  // namespace tamsel
