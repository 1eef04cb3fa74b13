#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace tamsel::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Writes a value with exact bytes through a handle of its own, creating the key; returns the
// first failing status.
inline RegStatus Put(Registry& registry, RegKey root, const std::string& path,
                     const std::string& name, std::uint32_t type, const Bytes& data) {
    RegKey key = 0;
    RegStatus status = registry.CreateKeyEx(root, path, 0, nullptr, reg::kOptionNonVolatile,
                                            reg::kKeySixRights, &key, nullptr);
    if (status != reg::kSuccess) return status;
    status = registry.SetValueEx(key, name, 0, type, data.data(),
                                 static_cast<std::uint32_t>(data.size()));
    registry.CloseKey(key);
    return status;
}

// A text value as the Win32 API stores it: the text and its NUL.
inline RegStatus PutText(Registry& registry, RegKey root, const std::string& path,
                         const std::string& name, const std::string& text,
                         std::uint32_t type = reg::kSz) {
    return Put(registry, root, path, name, type, BytesOf(text + '\0'));
}

// The stored type and bytes of a value; type 0xFFFFFFFF when it cannot be read.
struct StoredValue {
    std::uint32_t type = 0xFFFFFFFF;
    Bytes data;
    bool operator==(const StoredValue&) const = default;
};

inline StoredValue Get(Registry& registry, RegKey root, const std::string& path,
                       const std::string& name) {
    StoredValue value;
    RegKey key = 0;
    if (registry.OpenKeyEx(root, path, 0, reg::kKeyQueryValue, &key) != reg::kSuccess) return value;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (registry.QueryValueEx(key, name, &type, nullptr, &size) == reg::kSuccess) {
        value.data.resize(size);
        if (registry.QueryValueEx(key, name, &type, value.data.data(), &size) == reg::kSuccess) {
            value.type = type;
        }
    }
    registry.CloseKey(key);
    return value;
}

}  // namespace tamsel::test
