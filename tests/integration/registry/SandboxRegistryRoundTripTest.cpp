#include <gtest/gtest.h>

#include <string>

#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "unit/registry/TempDirectory.h"

namespace tamsel::sandbox {
namespace {

TEST(SandboxRegistryRoundTrip, FreshMachineExportImportsIntoAnEmptyRegistryUnchanged) {
    testing::TempDirectory dir;
    auto machine = SandboxMachine::Open(dir.Path() / "machine");
    const std::string exported = ExportRegFile(machine->GetSqliteRegistry());
    EXPECT_NE(exported.find("[HKEY_CURRENT_USER\\Environment]"), std::string::npos);
    EXPECT_NE(exported.find("\"ProgramFilesDir\"=\"C:\\\\Program Files\""), std::string::npos);

    auto empty = SqliteRegistry::Open(dir.Path() / "empty.db");
    ASSERT_EQ(ExportRegFile(*empty),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT]\n\n"
              "[HKEY_CURRENT_USER]\n\n[HKEY_LOCAL_MACHINE]\n\n[HKEY_USERS]\n\n");
    ImportRegFile(*empty, exported);
    EXPECT_EQ(ExportRegFile(*empty), exported);
}

}  // namespace
}  // namespace tamsel::sandbox
