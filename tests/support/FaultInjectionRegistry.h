#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <string>

#include "platform/Registry.h"

namespace tamsel::test {

// A status for FailCalls: the call throws std::bad_alloc, as a registry does when memory runs out.
inline constexpr RegStatus kOutOfMemory = -1;

enum class RegistryFunction { CreateKeyEx, OpenKeyEx, QueryValueEx, SetValueEx, ExpandEnvironment };

// Wraps any Registry: passes every call on, counts the closes the wrapped registry refuses (a
// handle it never gave out, or one closed twice), and fails one chosen call without passing it on.
class FaultInjectionRegistry : public Registry {
  public:
    explicit FaultInjectionRegistry(Registry& inner) : inner_(inner) {}

    // The call of `function` after the next `skip` ones fails with `status` (ExpandEnvironment
    // by returning 0); a failing Create/OpenKeyEx hands out no handle.
    void FailCalls(RegistryFunction function, RegStatus status, std::size_t skip = 0) {
        failing_ = function;
        status_ = status;
        skip_ = skip;
    }

    std::size_t StrayCloseCount() const { return strayCloses_; }

    RegStatus CreateKeyEx(RegKey root, const std::string& subKey, std::uint32_t reserved,
                          const char* keyClass, std::uint32_t options, std::uint32_t access,
                          RegKey* result, std::uint32_t* disposition) override {
        if (Fails(RegistryFunction::CreateKeyEx)) return status_;
        return inner_.CreateKeyEx(root, subKey, reserved, keyClass, options, access, result,
                                  disposition);
    }
    RegStatus OpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                        std::uint32_t access, RegKey* result) override {
        if (Fails(RegistryFunction::OpenKeyEx)) return status_;
        return inner_.OpenKeyEx(root, subKey, options, access, result);
    }
    RegStatus QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                           std::uint8_t* data, std::uint32_t* size) override {
        if (Fails(RegistryFunction::QueryValueEx)) return status_;
        return inner_.QueryValueEx(key, valueName, type, data, size);
    }
    RegStatus SetValueEx(RegKey key, const std::string& valueName, std::uint32_t reserved,
                         std::uint32_t type, const std::uint8_t* data,
                         std::uint32_t size) override {
        if (Fails(RegistryFunction::SetValueEx)) return status_;
        return inner_.SetValueEx(key, valueName, reserved, type, data, size);
    }
    RegStatus DeleteKey(RegKey root, const std::string& subKey) override {
        return inner_.DeleteKey(root, subKey);
    }
    RegStatus DeleteValue(RegKey key, const std::string& valueName) override {
        return inner_.DeleteValue(key, valueName);
    }
    RegStatus CloseKey(RegKey key) override {
        const RegStatus status = inner_.CloseKey(key);
        if (status != reg::kSuccess) ++strayCloses_;
        return status;
    }
    std::uint32_t ExpandEnvironment(const std::string& source, char* destination,
                                    std::uint32_t destinationSize) override {
        if (Fails(RegistryFunction::ExpandEnvironment)) return 0;
        return inner_.ExpandEnvironment(source, destination, destinationSize);
    }

  private:
    // Whether this call of `function` is the one to fail; throws when it is to run out of memory.
    bool Fails(RegistryFunction function) {
        if (failing_ != function || skip_-- > 0) return false;
        failing_.reset();
        if (status_ == kOutOfMemory) throw std::bad_alloc();
        return true;
    }

    Registry& inner_;
    std::optional<RegistryFunction> failing_;
    RegStatus status_ = 0;
    std::size_t skip_ = 0;
    std::size_t strayCloses_ = 0;
};

}  // namespace tamsel::test
