// "WScript.Shell" called late-bound by member name, and the shortcut object it creates.
//
// Where the shell object falls short, this layer goes to what the shell object itself wraps:
//  - SpecialFolders("StartMenu") is not implemented by Wine's shell object (it fails with
//    "folder kind not supported"); the shell's CSIDL_STARTMENU folder is the same folder, so it
//    is asked through SHGetFolderPathW instead.
//  - Wine's shortcut object does not implement "HotKey", refuses an "IconLocation" without
//    ",index" and saves ShowCommand 0 whatever "WindowStyle" said. After the shortcut object
//    has saved the file, the file is opened through IShellLinkW + IPersistFile (the shell link
//    the shortcut object wraps), the hot key, window style and icon location are written there
//    and the file is saved again. On Windows this writes what the file already says.
#include <cstring>
#include <optional>

#include "platform/win32/ComObjects.h"
#include "platform/win32/ShortcutText.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32Services.h"

namespace tamsel::win32 {

namespace {

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && _strnicmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// What the file of a saved shortcut must carry that the shortcut object may have left out.
struct LinkRepair {
    std::uint16_t hotKey = 0;
    int showCommand = SW_SHOWNORMAL;
    std::optional<IconLocation> icon;
};

void RepairSavedLink(const std::string& path, const LinkRepair& wanted) {
    ComPtr<IShellLinkW> link;
    CheckHresult(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.OutVoid()));
    ComPtr<IPersistFile> file;
    CheckHresult(link->QueryInterface(IID_IPersistFile, file.OutVoid()));
    const std::wstring widePath = Utf8ToWide(path);
    CheckHresult(file->Load(widePath.c_str(), STGM_READ));

    // Written whether or not the shell link reads them back right: Wine's shell link reads a
    // stored ShowCommand of 0 back as "normal" although the file does not say so.
    CheckHresult(link->SetHotkey(wanted.hotKey));
    CheckHresult(link->SetShowCmd(wanted.showCommand));
    if (wanted.icon) {
        CheckHresult(
            link->SetIconLocation(Utf8ToWide(wanted.icon->path).c_str(), wanted.icon->index));
    }
    CheckHresult(file->Save(widePath.c_str(), TRUE));
}

class Win32ShellShortcut : public ShellShortcut {
  public:
    Win32ShellShortcut(DispatchObject shortcut, std::string path)
        : shortcut_(std::move(shortcut)), path_(std::move(path)) {}

    void SetTargetPath(const std::string& path) override { targetPath_ = path; }
    void SetWindowStyle(std::int16_t style) override { windowStyle_ = style; }
    void SetHotKey(const std::string& hotKey) override { hotKey_ = hotKey; }
    void SetIconLocation(const std::string& location) override { iconLocation_ = location; }
    void SetDescription(const std::string& description) override { description_ = description; }
    void SetWorkingDirectory(const std::string& directory) override {
        workingDirectory_ = directory;
    }

    void Save() override {
        LinkRepair wanted;
        if (targetPath_) shortcut_.Put("TargetPath", ComVariant(*targetPath_));
        if (windowStyle_) {
            shortcut_.Put("WindowStyle", ComVariant(*windowStyle_));
            wanted.showCommand = *windowStyle_;
        }
        if (hotKey_) {
            wanted.hotKey = ParseHotKey(*hotKey_);  // raises for a text that names no key
            PutTolerated("HotKey", *hotKey_);
        }
        if (iconLocation_) {
            wanted.icon = SplitIconLocation(*iconLocation_);
            PutTolerated("IconLocation", *iconLocation_);
        }
        if (description_) shortcut_.Put("Description", ComVariant(*description_));
        if (workingDirectory_) shortcut_.Put("WorkingDirectory", ComVariant(*workingDirectory_));
        shortcut_.Call("Save");
        RepairSavedLink(path_, wanted);
    }

  private:
    // A property that Wine's shortcut object refuses; the repair after saving writes it.
    void PutTolerated(const char* member, const std::string& value) {
        try {
            shortcut_.Put(member, ComVariant(value));
        } catch (const RuntimeError&) {
        }
    }

    DispatchObject shortcut_;
    std::string path_;
    std::optional<std::string> targetPath_;
    std::optional<std::int16_t> windowStyle_;
    std::optional<std::string> hotKey_;
    std::optional<std::string> iconLocation_;
    std::optional<std::string> description_;
    std::optional<std::string> workingDirectory_;
};

class Win32ShellObject : public ShellObject {
  public:
    explicit Win32ShellObject(DispatchObject shell) : shell_(std::move(shell)) {}

    std::string SpecialFolder(const std::string& name) override {
        try {
            DispatchObject folders = DispatchObject::FromResult(shell_.Call("SpecialFolders"));
            std::vector<ComVariant> args;
            args.emplace_back(name);
            std::string path = folders.Call("Item", std::move(args)).ToText();
            if (!path.empty() || !SameTextIgnoringCase(name, "StartMenu")) return path;
        } catch (const RuntimeError&) {
            if (!SameTextIgnoringCase(name, "StartMenu")) throw;
        }
        return StartMenuFromShell();
    }

    std::unique_ptr<ShellShortcut> CreateShortCut(const std::string& path) override {
        std::vector<ComVariant> args;
        args.emplace_back(path);
        return std::make_unique<Win32ShellShortcut>(
            DispatchObject::FromResult(shell_.Call("CreateShortcut", std::move(args))), path);
    }

  private:
    // The current user's Start menu as the shell reports it (CSIDL_STARTMENU).
    static std::string StartMenuFromShell() {
        wchar_t path[MAX_PATH + 1] = {};
        const HRESULT hr =
            SHGetFolderPathW(nullptr, CSIDL_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, path);
        if (FAILED(hr)) throw ErrorFromHresult(hr);
        return WideToUtf8(path);
    }

    DispatchObject shell_;
};

}  // namespace

std::unique_ptr<ShellObject> WrapShellObject(DispatchObject object) {
    return std::make_unique<Win32ShellObject>(std::move(object));
}

}  // namespace tamsel::win32
