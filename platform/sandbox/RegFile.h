#pragma once

#include <optional>
#include <string>

namespace tamsel::sandbox {

class SqliteRegistry;

// The text format of registry files ("Windows Registry Editor Version 5.00").
//
// Export writes UTF-8 with LF line ends (regedit writes UTF-16LE with CR LF; UTF-8 reads and
// compares better on the host, and import takes both). Roots are written in full, in the order
// HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS; subkeys and values in
// the registry's stable case-insensitive order; a block for every key, each ended by a blank
// line. Text values that are a clean NUL-terminated text are written "quoted"; anything else of
// type REG_SZ (no NUL, an embedded NUL, line breaks, bytes that are not UTF-8) is written as
// hex(1): so that it comes back byte for byte. As regedit does, REG_SZ, REG_EXPAND_SZ and
// REG_MULTI_SZ written as hex carry UTF-16LE; long hex lines are wrapped with "\" at 80 columns.

// Exports the whole registry, or the key named by `key` ("HKLM\SOFTWARE\x", full or short root
// name, any case) with its subtree. Throws std::runtime_error when the key does not exist.
std::string ExportRegFile(SqliteRegistry& registry, const std::optional<std::string>& key = {});

// Imports a registry file: what ExportRegFile writes, and regedit's own forms (CR LF, UTF-16LE
// with a byte-order mark, the REGEDIT4 header whose hex text data is ANSI, ";" comments,
// "[-KEY]" to delete a key with its subtree, "name"=- to delete a value, hex data continued on
// the next line after "\"). Missing parent keys are created. The import is one transaction: a
// malformed line throws std::runtime_error that names the line number, and nothing changes.
// It takes only what ExportRegFile can write back: a key name with a line break (a CR inside
// a "[KEY]" line) is malformed.
void ImportRegFile(SqliteRegistry& registry, const std::string& text);

}  // namespace tamsel::sandbox
