#pragma once

#include <string>

#include "common/ui/Control.h"
#include "common/ui/Form.h"
#include "common/ui/ListControls.h"
#include "platform/System.h"

namespace tamsel {

// The "Install To..." dialog: the user browses drives and directories, the dialog proposes
// the chosen directory followed by "\Tamsel Orry\", and OK writes the text of Dir into the
// owner's target-directory label. The dialog is modeless; its owner is disabled while it is
// shown. It is hidden, never unloaded, so a later opening shows it as it was left.
class ChooseDirFRM : public Form {
  public:
    // owner: the window that opens the dialog; targetLabel: the owner's label whose caption is
    // the target directory.
    ChooseDirFRM(Application& app, Volumes& volumes, Form& owner, Control& targetLabel);

    void OnLoad() override { ChooseDirFRM_Load(); }
    // Closing the dialog by its close box acts as Cancel, so the owner is never left disabled.
    void OnCloseBox() override { CancelButton_Click(); }

    // Controls, in tab order.
    Control OKButton;
    Control CancelButton;
    Control Label1;
    Control Label2;
    DriveListBox DriveBox;
    DirListBox DirBox;
    Control Dir;

  private:
    // Handlers, named after the control (or form) and the event.
    void ChooseDirFRM_Load();
    void OKButton_Click();
    void CancelButton_Click();
    void DriveBox_Change();
    void DirBox_Change();
    // Tells the user that a drive or directory cannot be shown.
    void ReportUnusable(const std::string& description);

    Form& owner_;
    Control& targetLabel_;
};

}  // namespace tamsel
