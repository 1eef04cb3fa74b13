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
    bool dataGiven = false;       // QueryValueEx / SetValueEx: a buffer was passed
    std::uint32_t sizeGiven = 0;  // the size passed in (data size, or the destination size)
    std::uint32_t type = 0;       // SetValueEx: the type written
    RegStatus status = 0;         // what the call returned (ExpandEnvironment: its result)
};

// Wraps any Registry: passes every call on, records it, keeps count of the key handles that
// were opened and not yet closed, and makes chosen calls fail with a chosen status without
// passing them on.
class FaultInjectionRegistry : public Registry {
  public:
    explicit FaultInjectionRegistry(Registry& inner) : inner_(inner) {}

    // The calls of `function` after the next `skip` ones fail `times` times with `status`
    // (ExpandEnvironment fails by returning 0). A failing call is not passed on, except
    // CloseKey, which still closes the wrapped handle. A failing Create/OpenKeyEx hands out no
    // handle.
    void FailCalls(RegistryFunction function, RegStatus status, std::size_t skip = 0,
                   std::size_t times = 1);

    // The call of `function` after the next `skip` ones throws std::bad_alloc, as a registry
    // does when memory runs out.
    void ThrowOutOfMemory(RegistryFunction function, std::size_t skip = 0);

    // Handles opened by CreateKeyEx or OpenKeyEx and not yet closed.
    std::size_t OpenHandleCount() const { return open_.size(); }
    // CloseKey calls for a handle that this decorator did not see opened (or closed twice).
    std::size_t StrayCloseCount() const { return strayCloses_; }

    const std::vector<RegistryCall>& Calls() const { return calls_; }
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
        std::size_t times = 0;
        bool outOfMemory = false;
    };

    // Whether this call of `function` is to fail, and with which status; throws when it is
    // to run out of memory.
    bool TakeFault(RegistryFunction function, RegStatus& status);
    // Records the call, then fails it or passes it on; its status is recorded too.
    template <typename PassOn>
    RegStatus Handle(RegistryCall call, PassOn&& passOn);

    Registry& inner_;
    std::map<RegistryFunction, Fault> faults_;
    std::multiset<RegKey> open_;
    std::size_t strayCloses_ = 0;
    std::vector<RegistryCall> calls_;
};

}  // namespace tamsel::test
