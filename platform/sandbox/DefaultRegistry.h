#pragma once

namespace tamsel::sandbox {

class SqliteRegistry;

// Writes what a fresh Windows installation holds and the programs read: the current user's
// shell folders and environment, the machine's environment, the usual keys under
// SOFTWARE\Microsoft\Windows\CurrentVersion (App Paths, Uninstall, Run, RunOnce, Explorer) and
// the default user's Start-menu order. Paths are those of DefaultMachine.h. Existing values of
// the same names are replaced; nothing else is touched. Runs as one transaction.
void WriteDefaultRegistry(SqliteRegistry& registry);

}  // namespace tamsel::sandbox
