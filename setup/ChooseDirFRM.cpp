#include "setup/ChooseDirFRM.h"

#include "common/ui/Application.h"
#include "common/ui/MessageBox.h"
#include "platform/RuntimeError.h"

namespace tamsel {

namespace {

// The directory that holds the installation folder: the target loses its last "\" and what
// follows, twice ("C:\Program Files\Tamsel Orry\" gives "C:\Program Files").
std::string ParentOfTarget(const std::string& target) {
    std::string parent = target;
    for (int cut = 0; cut < 2; ++cut) {
        const auto slash = parent.rfind('\\');
        if (slash == std::string::npos) break;
        parent.erase(slash);
    }
    return parent;
}

bool IsListError(const RuntimeError& error) {
    return error.Number() == err::kDeviceUnavailable || error.Number() == err::kDiskNotReady ||
           error.Number() == err::kPathNotFound;
}

}  // namespace

void ChooseDirFRM::ChooseDirFRM_Load() {
    const std::string target = targetLabel_.caption;
    const std::string drive = target.substr(0, target.find(':'));
    const std::string parent = ParentOfTarget(target);

    // A drive that cannot be used is reported; the lists keep what they show.
    try {
        DriveBox.SetDrive(drive);
    } catch (const RuntimeError& error) {
        if (!IsListError(error)) throw;
        ReportUnusable(error.Description());
    }
    // A parent directory that does not exist (a drive without "Program Files") leaves the
    // directory list on the current directory of the drive list's drive.
    try {
        DirBox.SetPath(parent);
    } catch (const RuntimeError& error) {
        if (!IsListError(error)) throw;
        try {
            DirBox.SetPath(DriveBox.Drive());
        } catch (const RuntimeError& fallbackError) {
            if (!IsListError(fallbackError)) throw;
        }
    }
    // The dialog opens with the current target unchanged.
    Dir.caption = targetLabel_.caption;
}

void ChooseDirFRM::DriveBox_Change() { DirBox.SetPath(DriveBox.Drive()); }

void ChooseDirFRM::DirBox_Change() {
    const std::string path = DirBox.Path();
    const auto slash = path.rfind('\\');
    const std::size_t lastSlashPosition = slash == std::string::npos ? 0 : slash + 1;
    if (lastSlashPosition == path.size()) {
        Dir.caption = path + "Tamsel Orry\\";
    } else {
        Dir.caption = path + "\\Tamsel Orry\\";
    }
}

void ChooseDirFRM::OKButton_Click() {
    targetLabel_.caption = Dir.caption;
    if (targetLabel_.caption.empty() || targetLabel_.caption.back() != '\\') {
        targetLabel_.caption += '\\';
    }
    CancelButton_Click();
}

void ChooseDirFRM::CancelButton_Click() {
    owner_.enabled = true;
    Hide();
}

void ChooseDirFRM::ReportUnusable(const std::string& description) {
    MessageBoxSpec request;
    request.title = caption;
    request.text = description;
    request.buttons = MsgButtons::OK;
    request.icon = MsgIcon::Exclamation;
    App().MsgBox(request);
}

}  // namespace tamsel
