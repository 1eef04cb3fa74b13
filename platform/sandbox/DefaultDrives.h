#pragma once

#include <filesystem>

namespace tamsel::sandbox {

// Fills an empty drives folder with what a new Windows machine holds: C: with
// "Program Files", "Windows\System32" and the user profile of DefaultMachine.h (Desktop,
// Documents, the temporary folder, the Start menu with its Programs groups "Accessories",
// holding "Notepad.lnk", and "StartUp"), and an empty D:.
void WriteDefaultDrives(const std::filesystem::path& drivesFolder);

}  // namespace tamsel::sandbox
