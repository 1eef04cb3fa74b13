#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace tamsel::test {

// The platform that the contract tests shared by both builds run against: the real machine in
// the Windows build (under Wine), a fresh default sandbox machine in the Linux build.
std::unique_ptr<Platform> OpenContractPlatform();

// Whether the platform is Wine, which differs from Windows in a few points that the tests
// name where they skip them.
bool ContractPlatformIsWine();

// What a test arranges or reads past the platform's objects: a file's bytes ("<missing>" when
// it cannot be read) and its read-only attribute.
std::string ContractFileBytes(Platform& platform, const std::string& path);
void SetContractReadOnly(Platform& platform, const std::string& path, bool readOnly);

}  // namespace tamsel::test
