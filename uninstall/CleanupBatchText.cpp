#include "uninstall/CleanupBatchText.h"

#include "common/ProgramNames.h"
#include "platform/RuntimeError.h"
#include "uninstall/RemovalNames.h"

namespace tamsel::removal {

namespace {

void RequireQuotable(const std::string& path) {
    for (char c : path) {
        if (c == '"' || static_cast<unsigned char>(c) < 0x20) {
            throw RuntimeError::FromNumber(err::kBadFileName);
        }
    }
}

}  // namespace

std::string QuoteForBatch(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        quoted += c;
        if (c == '%') quoted += '%';
    }
    quoted += '"';
    return quoted;
}

CleanupBatchLines MakeCleanupBatchLines(const std::string& folder, const std::string& temp) {
    RequireQuotable(folder);
    RequireQuotable(temp);
    CleanupBatchLines lines;
    lines.deleteUninstaller = "del " + QuoteForBatch(folder + "\\" + names::kUninstallerExe);
    lines.removeFolder = "rmdir " + QuoteForBatch(folder);
    lines.deleteItself = "del " + QuoteForBatch(temp + kBatchFileName);
    return lines;
}

}  // namespace tamsel::removal
