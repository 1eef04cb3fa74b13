#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace tamsel::test {

enum class RegistryFunction {
    CreateKeyEx,
    OpenKeyEx,
    QueryValueEx,
    SetValueEx,
    DeleteKey,
    DeleteValue,
    CloseKey,
    ExpandEnvironment,
};

// One call that went through the decorator, with the arguments that tests look at.
struct RegistryCall {
    RegistryFunction function;
    RegKey key = 0;               // the root or handle passed
    std::string name;             // subkey, value name or source text
    std::uint32_t options = 0;    // options of CreateKeyEx / OpenKeyEx
    std::uint32_t access = 0;     // access mask of CreateKeyEx / OpenKeyEx
    bool dataGiven = false;       // QueryValueEx / SetValueEx / ExpandEnvironment: a buffer
    std::uint32_t sizeGiven = 0;  // the size passed in (data size, or the destination size)
};

// Wraps any Registry: passes every call on, records it, keeps count of the key handles that
// were opened and not yet closed, and makes chosen calls fail without passing them on.
class FaultInjectionRegistry : public Registry {
  public:
    explicit FaultInjectionRegistry(Registry& inner) : inner_(inner) {}

    // The call of `function` after the next `skip` ones fails with `status` (ExpandEnvironment
    // by returning 0). CloseKey still closes the wrapped handle; a failing Create/OpenKeyEx
    // hands out no handle.
    void FailCalls(RegistryFunction function, RegStatus status, std::size_t skip = 0) {
        faults_[function] = Fault{status, skip, false};
    }
    // The call of `function` after the next `skip` ones throws std::bad_alloc, as a registry
    // does when memory runs out.
    void ThrowOutOfMemory(RegistryFunction function, std::size_t skip = 0) {
        faults_[function] = Fault{0, skip, true};
    }

    // Handles opened by CreateKeyEx or OpenKeyEx and not yet closed.
    std::size_t OpenHandleCount() const { return open_.size(); }
    // CloseKey calls for a handle that this decorator did not see opened (or closed twice).
    std::size_t StrayCloseCount() const { return strayCloses_; }

    std::vector<RegistryCall> CallsOf(RegistryFunction function) const;
    void ClearCalls() { calls_.clear(); }

    RegStatus CreateKeyEx(RegKey root, const std::string& subKey, std::uint32_t reserved,
                          const char* keyClass, std::uint32_t options, std::uint32_t access,
                          RegKey* result, std::uint32_t* disposition) override;
    RegStatus OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                        std::uint32_t access, RegKey* result) override;
    RegStatus QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                           std::uint8_t* data, std::uint32_t* size) override;
    RegStatus SetValueEx(RegKey key, const std::string& valueName, std::uint32_t reserved,
                         std::uint32_t type, const std::uint8_t* data, std::uint32_t size) override;
    RegStatus DeleteKey(RegKey root, const std::string& subKey) override;
    RegStatus DeleteValue(RegKey key, const std::string& valueName) override;
    RegStatus CloseKey(RegKey key) override;
    std::uint32_t ExpandEnvironment(const std::string& source, char* destination,
                                    std::uint32_t destinationSize) override;

  private:
    struct Fault {
        RegStatus status = 0;
        std::size_t skip = 0;
        bool outOfMemory = false;
    };

    // Records the call, then fails it (throwing when it is to run out of memory) or passes it
    // on; returns its status.
    template <typename PassOn>
    RegStatus Handle(const RegistryCall& call, PassOn&& passOn);

    Registry& inner_;
    std::map<RegistryFunction, Fault> faults_;
    std::multiset<RegKey> open_;
    std::size_t strayCloses_ = 0;
    std::vector<RegistryCall> calls_;
};

}  // namespace tamsel::test
