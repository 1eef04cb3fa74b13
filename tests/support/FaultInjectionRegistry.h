#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <set>
#include <string>

#include "platform/Registry.h"

namespace tamsel::test {

enum class RegistryFunction { CreateKeyEx, OpenKeyEx, QueryValueEx, SetValueEx, ExpandEnvironment };

// Wraps any Registry: passes every call on, keeps count of the key handles that were opened and
// not yet closed, and makes one chosen call fail without passing it on.
class FaultInjectionRegistry : public Registry {
  public:
    explicit FaultInjectionRegistry(Registry& inner) : inner_(inner) {}

    // The call of `function` after the next `skip` ones fails with `status` (ExpandEnvironment
    // by returning 0); a failing Create/OpenKeyEx hands out no handle.
    void FailCalls(RegistryFunction function, RegStatus status, std::size_t skip = 0) {
        fault_ = Fault{function, status, skip, false};
    }
    // The same call throws std::bad_alloc instead, as a registry does when memory runs out.
    void ThrowOutOfMemory(RegistryFunction function, std::size_t skip = 0) {
        fault_ = Fault{function, 0, skip, true};
    }

    // Handles opened by CreateKeyEx or OpenKeyEx and not yet closed.
    std::size_t OpenHandleCount() const { return open_.size(); }
    // CloseKey calls for a handle that this decorator did not see opened (or closed twice).
    std::size_t StrayCloseCount() const { return strayCloses_; }

    RegStatus CreateKeyEx(RegKey root, const std::string& subKey, std::uint32_t reserved,
                          const char* keyClass, std::uint32_t options, std::uint32_t access,
                          RegKey* result, std::uint32_t* disposition) override {
        return Opened(result, Pass(RegistryFunction::CreateKeyEx, [&] {
                          return inner_.CreateKeyEx(root, subKey, reserved, keyClass, options,
                                                    access, result, disposition);
                      }));
    }
    RegStatus OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                        std::uint32_t access, RegKey* result) override {
        return Opened(result, Pass(RegistryFunction::OpenKeyEx, [&] {
                          return inner_.OpenKeyEx(root, subKey, options, access, result);
                      }));
    }
    RegStatus QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                           std::uint8_t* data, std::uint32_t* size) override {
        return Pass(RegistryFunction::QueryValueEx,
                    [&] { return inner_.QueryValueEx(key, valueName, type, data, size); });
    }
    RegStatus SetValueEx(RegKey key, const std::string& valueName, std::uint32_t reserved,
                         std::uint32_t type, const std::uint8_t* data,
                         std::uint32_t size) override {
        return Pass(RegistryFunction::SetValueEx,
                    [&] { return inner_.SetValueEx(key, valueName, reserved, type, data, size); });
    }
    RegStatus DeleteKey(RegKey root, const std::string& subKey) override {
        return inner_.DeleteKey(root, subKey);
    }
    RegStatus DeleteValue(RegKey key, const std::string& valueName) override {
        return inner_.DeleteValue(key, valueName);
    }
    // Closes are counted and passed on, never failed: a failure would only leak handles.
    RegStatus CloseKey(RegKey key) override {
        if (open_.erase(key) == 0) ++strayCloses_;
        return inner_.CloseKey(key);
    }
    std::uint32_t ExpandEnvironment(const std::string& source, char* destination,
                                    std::uint32_t destinationSize) override {
        return Pass(RegistryFunction::ExpandEnvironment,
                    [&] { return inner_.ExpandEnvironment(source, destination, destinationSize); });
    }

  private:
    struct Fault {
        RegistryFunction function;
        RegStatus status = 0;
        std::size_t skip = 0;
        bool outOfMemory = false;
    };

    // Fails the call (throwing when it is to run out of memory) or passes it on.
    template <typename PassOn>
    auto Pass(RegistryFunction function, PassOn&& passOn) -> decltype(passOn()) {
        if (!fault_ || fault_->function != function) return passOn();
        if (fault_->skip > 0) {
            --fault_->skip;
            return passOn();
        }
        const Fault taken = *fault_;
        fault_.reset();
        if (taken.outOfMemory) throw std::bad_alloc();
        return static_cast<decltype(passOn())>(taken.status);
    }
    RegStatus Opened(const RegKey* result, RegStatus status) {
        if (status == reg::kSuccess) open_.insert(*result);
        return status;
    }

    Registry& inner_;
    std::optional<Fault> fault_;
    std::set<RegKey> open_;
    std::size_t strayCloses_ = 0;
};

}  // namespace tamsel::test
