#pragma once

#include <string>

namespace tamsel::removal {

// The three lines of the clean-up batch file, without their line ends.
struct CleanupBatchLines {
    std::string deleteUninstaller;  // del "<folder>\uninstall.exe"
    std::string removeFolder;       // rmdir "<folder>"
    std::string deleteItself;       // del "<temp>\touninst.bat"
};

// A path as it must stand between double quotes in a batch file so that cmd reads the path
// itself: cmd expands "%" even inside quotes, so every "%" is doubled. No other character is
// special inside quotes.
std::string QuoteForBatch(const std::string& path);

// The lines for the installation folder (no trailing "\") and the temporary folder. Throws
// RuntimeError 52 ("Bad file name or number") when either holds a double quote or a control
// character, which would end the quoted path or the line early.
CleanupBatchLines MakeCleanupBatchLines(const std::string& folder, const std::string& temp);

}  // namespace tamsel::removal
