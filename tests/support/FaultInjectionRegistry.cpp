#include "support/FaultInjectionRegistry.h"

#include <new>

namespace tamsel::test {

std::vector<RegistryCall> FaultInjectionRegistry::CallsOf(RegistryFunction function) const {
    std::vector<RegistryCall> found;
    for (const RegistryCall& call : calls_) {
        if (call.function == function) found.push_back(call);
    }
    return found;
}

template <typename PassOn>
RegStatus FaultInjectionRegistry::Handle(const RegistryCall& call, PassOn&& passOn) {
    calls_.push_back(call);
    const auto fault = faults_.find(call.function);
    if (fault == faults_.end()) return passOn();
    if (fault->second.skip > 0) {
        --fault->second.skip;
        return passOn();
    }
    const Fault taken = fault->second;
    faults_.erase(fault);
    if (taken.outOfMemory) throw std::bad_alloc();
    return taken.status;
}

RegStatus FaultInjectionRegistry::CreateKeyEx(RegKey root, const std::string& subKey,
                                              std::uint32_t reserved, const char* keyClass,
                                              std::uint32_t options, std::uint32_t access,
                                              RegKey* result, std::uint32_t* disposition) {
    return Handle({.function = RegistryFunction::CreateKeyEx,
                   .key = root,
                   .name = subKey,
                   .options = options,
                   .access = access},
                  [&] {
                      const RegStatus status = inner_.CreateKeyEx(
                          root, subKey, reserved, keyClass, options, access, result, disposition);
                      if (status == reg::kSuccess) open_.insert(*result);
                      return status;
                  });
}

RegStatus FaultInjectionRegistry::OpenKeyEx(RegKey root, const std::string& subKey,
                                            std::uint32_t options, std::uint32_t access,
                                            RegKey* result) {
    return Handle({.function = RegistryFunction::OpenKeyEx,
                   .key = root,
                   .name = subKey,
                   .options = options,
                   .access = access},
                  [&] {
                      const RegStatus status =
                          inner_.OpenKeyEx(root, subKey, options, access, result);
                      if (status == reg::kSuccess) open_.insert(*result);
                      return status;
                  });
}

RegStatus FaultInjectionRegistry::QueryValueEx(RegKey key, const std::string& valueName,
                                               std::uint32_t* type, std::uint8_t* data,
                                               std::uint32_t* size) {
    return Handle({.function = RegistryFunction::QueryValueEx,
                   .key = key,
                   .name = valueName,
                   .dataGiven = data != nullptr,
                   .sizeGiven = size != nullptr ? *size : 0},
                  [&] { return inner_.QueryValueEx(key, valueName, type, data, size); });
}

RegStatus FaultInjectionRegistry::SetValueEx(RegKey key, const std::string& valueName,
                                             std::uint32_t reserved, std::uint32_t type,
                                             const std::uint8_t* data, std::uint32_t size) {
    return Handle({.function = RegistryFunction::SetValueEx,
                   .key = key,
                   .name = valueName,
                   .dataGiven = data != nullptr,
                   .sizeGiven = size},
                  [&] { return inner_.SetValueEx(key, valueName, reserved, type, data, size); });
}

RegStatus FaultInjectionRegistry::DeleteKey(RegKey root, const std::string& subKey) {
    return Handle({.function = RegistryFunction::DeleteKey, .key = root, .name = subKey},
                  [&] { return inner_.DeleteKey(root, subKey); });
}

RegStatus FaultInjectionRegistry::DeleteValue(RegKey key, const std::string& valueName) {
    return Handle({.function = RegistryFunction::DeleteValue, .key = key, .name = valueName},
                  [&] { return inner_.DeleteValue(key, valueName); });
}

RegStatus FaultInjectionRegistry::CloseKey(RegKey key) {
    const auto it = open_.find(key);
    if (it != open_.end()) {
        open_.erase(it);
    } else {
        ++strayCloses_;
    }
    // A close is always passed on, so that an injected failure leaks nothing in the wrapped
    // registry; only the status the caller sees is replaced.
    const RegStatus status = inner_.CloseKey(key);
    return Handle({.function = RegistryFunction::CloseKey, .key = key, .name = ""},
                  [&] { return status; });
}

std::uint32_t FaultInjectionRegistry::ExpandEnvironment(const std::string& source,
                                                        char* destination,
                                                        std::uint32_t destinationSize) {
    return static_cast<std::uint32_t>(
        Handle({.function = RegistryFunction::ExpandEnvironment,
                .name = source,
                .dataGiven = destination != nullptr,
                .sizeGiven = destinationSize},
               [&] {
                   return static_cast<RegStatus>(
                       inner_.ExpandEnvironment(source, destination, destinationSize));
               }));
}

}  // namespace tamsel::test
