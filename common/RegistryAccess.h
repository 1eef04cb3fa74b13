#pragma once

#include <cstdint>
#include <string>

#include "common/Variant.h"
#include "common/ui/MessageBox.h"
#include "platform/Registry.h"

namespace tamsel {

// The one way both programs touch the registry. No procedure reports a failing registry call:
// a read gives the empty value, a write or deletion leaves the registry as it was. A run-time
// error inside a procedure (data that cannot be converted, memory exhausted) is shown as
// "Error: N. description" in a message box titled with the procedure's name, after which the
// procedure returns normally. Every key a procedure opens is closed before it returns.
class RegistryAccess {
  public:
    RegistryAccess(Registry& registry, MessageBoxes& messages);

    void RegistryCreateNewKey(RegKey root, const std::string& keyPath);
    void RegistryDeleteKey(RegKey root, const std::string& keyPath);
    void RegistryDeleteValue(RegKey root, const std::string& keyPath, const std::string& valueName);
    Variant RegistryGetKeyValue(RegKey root, const std::string& keyPath,
                                const std::string& valueName);
    void RegistrySetKeyValue(RegKey root, const std::string& keyPath, const std::string& valueName,
                             const Variant& data, std::int32_t valueType);

  private:
    Registry& registry_;
    MessageBoxes& messages_;
};

}  // namespace tamsel
