#include "platform/sandbox/DefaultDrives.h"

#include <fstream>
#include <stdexcept>
#include <string>

#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/DriveMap.h"
#include "platform/sandbox/ShellLinkWriter.h"

namespace tamsel::sandbox {

namespace fs = std::filesystem;

namespace {

// The host folder of a "C:\..." path of DefaultMachine.h (plain names only, no lookup).
fs::path FolderOf(const fs::path& drivesFolder, const std::string& windowsPath) {
    fs::path folder = drivesFolder / std::string(1, static_cast<char>(windowsPath[0] | 0x20));
    std::size_t start = 3;
    while (start < windowsPath.size()) {
        std::size_t end = windowsPath.find('\\', start);
        if (end == std::string::npos) end = windowsPath.size();
        folder /= windowsPath.substr(start, end - start);
        start = end + 1;
    }
    return folder;
}

void WriteFile(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error(file.string() + ": cannot write");
}

}  // namespace

void WriteDefaultDrives(const fs::path& drivesFolder) {
    const std::string system32 = std::string(kSystemRoot) + "\\System32";
    const std::string accessories = std::string(kPrograms) + "\\Accessories";
    for (const std::string& folder :
         {std::string(kProgramFiles), system32, std::string(kDesktop), std::string(kDocuments),
          std::string(kTemp), std::string(kSystemTemp), std::string(kAppData), accessories,
          std::string(kPrograms) + "\\StartUp"}) {
        fs::create_directories(FolderOf(drivesFolder, folder));
    }
    fs::create_directories(drivesFolder / "d");

    ShellLink notepad;
    notepad.targetPath = system32 + "\\notepad.exe";
    notepad.description = "Notepad";
    notepad.workingDirectory = kUserProfile;
    notepad.iconLocation = notepad.targetPath;
    notepad.volumeSerial = VolumeSerialNumber('c');
    notepad.volumeLabel = kSystemDriveLabel;
    WriteFile(FolderOf(drivesFolder, accessories) / "Notepad.lnk", WriteShellLink(notepad));
}

}  // namespace tamsel::sandbox
