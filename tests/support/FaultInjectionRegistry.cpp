#include "support/FaultInjectionRegistry.h"

#include <new>

namespace tamsel::test {

void FaultInjectionRegistry::FailCalls(RegistryFunction function, RegStatus status,
                                       std::size_t skip, std::size_t times) {
    faults_[function] = Fault{status, skip, times};
}

void FaultInjectionRegistry::ThrowOutOfMemory(RegistryFunction function, std::size_t skip) {
    faults_[function] = Fault{0, skip, 1, true};
}

std::vector<RegistryCall> FaultInjectionRegistry::CallsOf(RegistryFunction function) const {
    std::vector<RegistryCall> found;
    for (const RegistryCall& call : calls_) {
        if (call.function == function) found.push_back(call);
    }
    return found;
}

bool FaultInjectionRegistry::TakeFault(RegistryFunction function, RegStatus& status) {
    const auto it = faults_.find(function);
    if (it == faults_.end() || it->second.times == 0) return false;
    Fault& fault = it->second;
    if (fault.skip > 0) {
        --fault.skip;
        return false;
    }
    --fault.times;
    if (fault.outOfMemory) throw std::bad_alloc();
    status = fault.status;
    return true;
}

RegistryCall& FaultInjectionRegistry::Record(RegistryFunction function, RegKey key,
                                             const std::string& name) {
    RegistryCall call;
    call.function = function;
    call.key = key;
    call.name = name;
    calls_.push_back(call);
    return calls_.back();
}

RegStatus FaultInjectionRegistry::CreateKeyEx(RegKey root, const std::string& subKey,
                                              std::uint32_t reserved, const char* keyClass,
                                              std::uint32_t options, std::uint32_t access,
                                              RegKey* result, std::uint32_t* disposition) {
    RegistryCall& call = Record(RegistryFunction::CreateKeyEx, root, subKey);
    call.options = options;
    call.access = access;
    if (!TakeFault(RegistryFunction::CreateKeyEx, call.status)) {
        call.status = inner_.CreateKeyEx(root, subKey, reserved, keyClass, options, access, result,
                                         disposition);
        if (call.status == reg::kSuccess) open_.insert(*result);
    }
    return call.status;
}

RegStatus FaultInjectionRegistry::OpenKeyEx(RegKey root, const std::string& subKey,
                                            std::uint32_t options, std::uint32_t access,
                                            RegKey* result) {
    RegistryCall& call = Record(RegistryFunction::OpenKeyEx, root, subKey);
    call.options = options;
    call.access = access;
    if (!TakeFault(RegistryFunction::OpenKeyEx, call.status)) {
        call.status = inner_.OpenKeyEx(root, subKey, options, access, result);
        if (call.status == reg::kSuccess) open_.insert(*result);
    }
    return call.status;
}

RegStatus FaultInjectionRegistry::QueryValueEx(RegKey key, const std::string& valueName,
                                               std::uint32_t* type, std::uint8_t* data,
                                               std::uint32_t* size) {
    RegistryCall& call = Record(RegistryFunction::QueryValueEx, key, valueName);
    call.dataGiven = data != nullptr;
    call.sizeGiven = size != nullptr ? *size : 0;
    if (!TakeFault(RegistryFunction::QueryValueEx, call.status)) {
        call.status = inner_.QueryValueEx(key, valueName, type, data, size);
    }
    return call.status;
}

RegStatus FaultInjectionRegistry::SetValueEx(RegKey key, const std::string& valueName,
                                             std::uint32_t reserved, std::uint32_t type,
                                             const std::uint8_t* data, std::uint32_t size) {
    RegistryCall& call = Record(RegistryFunction::SetValueEx, key, valueName);
    call.dataGiven = data != nullptr;
    call.sizeGiven = size;
    call.type = type;
    if (!TakeFault(RegistryFunction::SetValueEx, call.status)) {
        call.status = inner_.SetValueEx(key, valueName, reserved, type, data, size);
    }
    return call.status;
}

RegStatus FaultInjectionRegistry::DeleteKey(RegKey root, const std::string& subKey) {
    RegistryCall& call = Record(RegistryFunction::DeleteKey, root, subKey);
    if (!TakeFault(RegistryFunction::DeleteKey, call.status)) {
        call.status = inner_.DeleteKey(root, subKey);
    }
    return call.status;
}

RegStatus FaultInjectionRegistry::DeleteValue(RegKey key, const std::string& valueName) {
    RegistryCall& call = Record(RegistryFunction::DeleteValue, key, valueName);
    if (!TakeFault(RegistryFunction::DeleteValue, call.status)) {
        call.status = inner_.DeleteValue(key, valueName);
    }
    return call.status;
}

RegStatus FaultInjectionRegistry::CloseKey(RegKey key) {
    RegistryCall& call = Record(RegistryFunction::CloseKey, key, "");
    const auto it = open_.find(key);
    if (it != open_.end()) {
        open_.erase(it);
    } else {
        ++strayCloses_;
    }
    // A close is always passed on, so that an injected failure leaks nothing in the wrapped
    // registry; only the status the caller sees is replaced.
    const RegStatus status = inner_.CloseKey(key);
    if (!TakeFault(RegistryFunction::CloseKey, call.status)) call.status = status;
    return call.status;
}

std::uint32_t FaultInjectionRegistry::ExpandEnvironment(const std::string& source,
                                                        char* destination,
                                                        std::uint32_t destinationSize) {
    RegistryCall& call = Record(RegistryFunction::ExpandEnvironment, 0, source);
    call.dataGiven = destination != nullptr;
    call.sizeGiven = destinationSize;
    RegStatus failed = 0;
    if (TakeFault(RegistryFunction::ExpandEnvironment, failed)) return 0;
    const std::uint32_t needed = inner_.ExpandEnvironment(source, destination, destinationSize);
    call.status = static_cast<RegStatus>(needed);
    return needed;
}

}  // namespace tamsel::test
