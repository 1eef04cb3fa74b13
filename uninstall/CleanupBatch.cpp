#include "uninstall/CleanupBatchText.h"
#include "uninstall/RemovalNames.h"
#include "uninstall/Remove.h"

namespace tamsel {

void Remove::MakeandRunBatch(const std::string& path) {
    // TEMP is read at each use, as the environment may be changed meanwhile.
    auto temp = [this] { return platform_.GetSystem().EnvironmentVariable("TEMP"); };

    auto fso = platform_.GetAutomation().CreateFileSystemObject();
    const std::string batchName = temp() + removal::kBatchFileName;
    // Checked before anything is written: a path that cannot stand in quotes stops here.
    const auto lines = removal::MakeCleanupBatchLines(path, temp());
    {
        auto stream = fso->CreateTextFile(batchName, true);
        stream->WriteLine(lines.deleteUninstaller);
        stream->WriteLine(lines.removeFolder);
        stream->Write(lines.deleteItself);
        stream->Close();
    }
    fso.reset();

    // The file is complete and closed before the value that names it is written.
    registry_.RegistrySetKeyValue(reg::kLocalMachine, removal::kRunOnceKey, removal::kRunOnceValue,
                                  Variant("\"" + temp() + removal::kBatchFileName + "\""),
                                  reg::kSz);
}

}  // namespace tamsel
