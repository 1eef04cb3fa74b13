#include "platform/RuntimeError.h"
#include "uninstall/CleanupBatchText.h"
#include "uninstall/RemovalNames.h"
#include "uninstall/Remove.h"

namespace tamsel {

namespace {

// The form in which the batch file names a folder, so that cmd, reading the file in its own
// code page, finds that folder: the path itself or its short form. A folder that no form can
// name stops the clean-up before anything is written: a batch file that misses would leave the
// installation behind for ever.
std::string BatchForm(FileSystemObject& fso, const std::string& folder) {
    std::string form = fso.BatchFilePath(folder);
    if (form.empty()) {
        throw RuntimeError(err::kBadFileName,
                           RuntimeError::StandardDescription(err::kBadFileName) + ": \"" + folder +
                               "\" cannot be named in the command interpreter's code page, so "
                               "it cannot be removed at the next log-on");
    }
    return form;
}

}  // namespace

void Remove::MakeandRunBatch(const std::string& path) {
    // TEMP is read at each use, as the environment may be changed meanwhile.
    auto temp = [this] { return platform_.GetSystem().EnvironmentVariable("TEMP"); };

    auto fso = platform_.GetAutomation().CreateFileSystemObject();
    const std::string batchName = temp() + removal::kBatchFileName;
    // Checked before anything is written: a path that cannot stand in quotes, or that cmd
    // cannot read, stops here. The file names ("uninstall.exe", "touninst.bat") are ASCII and
    // follow either form of their folder.
    const auto lines =
        removal::MakeCleanupBatchLines(BatchForm(*fso, path), BatchForm(*fso, temp()));
    {
        auto stream = fso->CreateBatchFile(batchName);
        stream->WriteLine(lines.deleteUninstaller);
        stream->WriteLine(lines.removeFolder);
        stream->Write(lines.deleteItself);
        stream->Close();
    }
    fso.reset();

    // The file is complete and closed before the value that names it is written. The registry
    // keeps the full name: Windows starts the command through the wide functions.
    registry_.RegistrySetKeyValue(reg::kLocalMachine, removal::kRunOnceKey, removal::kRunOnceValue,
                                  Variant("\"" + temp() + removal::kBatchFileName + "\""),
                                  reg::kSz);
}

}  // namespace tamsel
