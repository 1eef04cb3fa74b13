#pragma once

#include <memory>

#include "platform/Platform.h"

namespace tamsel::test {

// The platform that the contract tests shared by both builds run against: the real machine in
// the Windows build (under Wine), a fresh default sandbox machine in the Linux build.
std::unique_ptr<Platform> OpenContractPlatform();

// Whether the platform is Wine, which differs from Windows in a few points that the tests
// name where they skip them.
bool ContractPlatformIsWine();

}  // namespace tamsel::test
