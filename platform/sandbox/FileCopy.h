#pragma once

#include <filesystem>
#include <system_error>

namespace tamsel::sandbox {

// Copies a regular file's bytes and permission bits to `to`, replacing it. The copy is written
// to a new file of a name of its own in the destination folder (so that programs copying to the
// same file at once never share one) and renamed over `to` only when it is complete: a failure
// or a kill never leaves half a file under the destination's name. The bytes move inside the
// kernel (a reflink where the file system can share extents, else copy_file_range). The data
// is not synced, as neither cp nor Windows' CopyFile syncs it. Returns the first error.
std::error_code CopyAsideAndRename(const std::filesystem::path& from,
                                   const std::filesystem::path& to);

}  // namespace tamsel::sandbox
