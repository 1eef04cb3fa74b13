#include "common/RegistryAccess.h"

#include <algorithm>
#include <array>
#include <new>
#include <string_view>
#include <vector>

#include "platform/RuntimeError.h"

namespace tamsel {

namespace {

// One key handle that a procedure opened or created. The procedures close it themselves at
// the end of their steps; the destructor closes it on every other way out, in particular when
// a run-time error (a data conversion, exhausted memory) unwinds the procedure while the key
// is open, so that no handle outlives the call.
class KeyHandle {
  public:
    explicit KeyHandle(Registry& registry) : registry_(registry) {}
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    ~KeyHandle() {
        try {
            Close();
        } catch (...) {
            // Unwinding already; a store that fails to release a handle has nothing to add.
        }
    }

    // RegCreateKeyExA with the module's fixed arguments: no class, non-volatile, the six
    // specific key rights. The disposition is asked for and not looked at.
    RegStatus Create(RegKey root, const std::string& keyPath) {
        std::uint32_t disposition = 0;
        RegKey key = 0;
        const RegStatus status =
            registry_.CreateKeyEx(root, keyPath, 0, nullptr, reg::kOptionNonVolatile,
                                  reg::kKeySixRights, &key, &disposition);
        Adopt(status, key);
        return status;
    }

    RegStatus Open(RegKey root, const std::string& keyPath, std::uint32_t access) {
        RegKey key = 0;
        const RegStatus status = registry_.OpenKeyEx(root, keyPath, 0, access, &key);
        Adopt(status, key);
        return status;
    }

    bool IsOpen() const { return open_; }
    RegKey Get() const { return key_; }

    void Close() {
        if (!open_) return;
        open_ = false;
        registry_.CloseKey(key_);
    }

  private:
    void Adopt(RegStatus status, RegKey key) {
        if (status != reg::kSuccess) return;
        key_ = key;
        open_ = true;
    }

    Registry& registry_;
    RegKey key_ = 0;
    bool open_ = false;
};

// Shows a run-time error the way every procedure of the module reports it: "Error: N. text" in
// a message box with only an OK button and no icon, titled with the procedure's name.
void ShowRuntimeError(MessageBoxes& messages, const char* procedure, std::int32_t number,
                      const std::string& description) {
    messages.ShowMessageBox({procedure, "Error: " + std::to_string(number) + ". " + description,
                             MsgButtons::OK, MsgIcon::None});
}

// Runs a procedure's steps with its run-time error handler armed: an error is shown and
// swallowed, and the procedure returns normally. Failures of the registry functions are not
// errors here; they come back as status codes that the steps deal with.
template <typename Steps>
void RunTrapped(MessageBoxes& messages, const char* procedure, Steps&& steps) {
    try {
        steps();
    } catch (const RuntimeError& error) {
        ShowRuntimeError(messages, procedure, error.Number(), error.Description());
    } catch (const std::bad_alloc&) {
        ShowRuntimeError(messages, procedure, err::kOutOfMemory,
                         RuntimeError::StandardDescription(err::kOutOfMemory));
    }
}

// The bytes of a buffer before its first NUL, or all of them when it holds none.
std::string TextBeforeNul(const char* data, std::size_t size) {
    const std::string_view bytes(data, size);
    return std::string(bytes.substr(0, bytes.find('\0')));
}

Variant ReadText(Registry& registry, RegKey key, const std::string& valueName,
                 std::uint32_t storedSize) {
    if (storedSize == 0) return Variant(std::string());
    std::vector<char> buffer(storedSize, '\0');
    std::uint32_t type = 0;
    std::uint32_t size = storedSize;
    const RegStatus status = registry.QueryValueEx(
        key, valueName, &type, reinterpret_cast<std::uint8_t*>(buffer.data()), &size);
    if (status != reg::kSuccess) return Variant();
    return Variant(TextBeforeNul(buffer.data(), buffer.size()));
}

Variant ReadExpandedText(Registry& registry, RegKey key, const std::string& valueName) {
    // The stored size once more, asked for with a buffer and a size of 0 so that nothing is
    // stored; the status of this query does not matter.
    std::uint32_t type = 0;
    std::uint32_t storedSize = 0;
    std::uint8_t probe = 0;
    registry.QueryValueEx(key, valueName, &type, &probe, &storedSize);

    std::vector<char> stored(storedSize, ' ');
    std::uint32_t size = storedSize;
    // A pointer to a byte the registry may not write to is still needed when the size is 0.
    std::uint8_t* target = storedSize > 0 ? reinterpret_cast<std::uint8_t*>(stored.data()) : &probe;
    if (registry.QueryValueEx(key, valueName, &type, target, &size) != reg::kSuccess) {
        return Variant();
    }
    // The stored text without its terminating NUL. Cutting at the first NUL rather than
    // dropping the last byte keeps the final character of a value stored without a NUL, and
    // it is all the expansion would look at anyway.
    const std::string unexpanded = TextBeforeNul(stored.data(), stored.size());

    char probeDestination = '\0';
    const std::uint32_t needed = registry.ExpandEnvironment(unexpanded, &probeDestination, 1);
    if (needed == 0) return Variant(unexpanded);

    std::vector<char> expanded(needed, '\0');
    const std::uint32_t written = registry.ExpandEnvironment(unexpanded, expanded.data(), needed);
    // The expanded text without its NUL; never read past the destination, whatever the
    // function claims to have written.
    const std::size_t length = std::min<std::size_t>(written, expanded.size());
    return Variant(TextBeforeNul(expanded.data(), length));
}

Variant ReadBinary(Registry& registry, RegKey key, const std::string& valueName,
                   std::uint32_t storedSize) {
    if (storedSize == 0) return Variant(ByteArray());
    ByteArray bytes(storedSize);
    std::uint32_t type = 0;
    std::uint32_t size = storedSize;
    if (registry.QueryValueEx(key, valueName, &type, bytes.data(), &size) != reg::kSuccess) {
        return Variant();
    }
    return Variant(std::move(bytes));
}

// A REG_DWORD is read into a 4-byte integer with the stored size, but never with more room
// than the integer has: a value stored with more than 4 bytes fails the read (more data) and
// comes back empty; one stored with fewer fills the low bytes of a zero integer.
Variant ReadDword(Registry& registry, RegKey key, const std::string& valueName,
                  std::uint32_t storedSize) {
    std::array<std::uint8_t, 4> bytes{};
    std::uint32_t type = 0;
    std::uint32_t size = std::min<std::uint32_t>(storedSize, bytes.size());
    if (registry.QueryValueEx(key, valueName, &type, bytes.data(), &size) != reg::kSuccess) {
        return Variant();
    }
    const std::uint32_t value =
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return Variant(static_cast<std::int32_t>(value));
}

}  // namespace

RegistryAccess::RegistryAccess(Registry& registry, MessageBoxes& messages)
    : registry_(registry), messages_(messages) {}

void RegistryAccess::RegistryCreateNewKey(RegKey root, const std::string& keyPath) {
    RunTrapped(messages_, "RegistryCreateNewKey", [&] {
        KeyHandle key(registry_);
        key.Create(root, keyPath);
        key.Close();
    });
}

void RegistryAccess::RegistryDeleteKey(RegKey root, const std::string& keyPath) {
    RunTrapped(messages_, "RegistryDeleteKey", [&] { registry_.DeleteKey(root, keyPath); });
}

void RegistryAccess::RegistryDeleteValue(RegKey root, const std::string& keyPath,
                                         const std::string& valueName) {
    RunTrapped(messages_, "RegistryDeleteValue", [&] {
        KeyHandle key(registry_);
        if (key.Open(root, keyPath, reg::kKeySixRights) != reg::kSuccess) return;
        registry_.DeleteValue(key.Get(), valueName);
        key.Close();
    });
}

Variant RegistryAccess::RegistryGetKeyValue(RegKey root, const std::string& keyPath,
                                            const std::string& valueName) {
    Variant result;
    RunTrapped(messages_, "RegistryGetKeyValue", [&] {
        KeyHandle key(registry_);
        if (key.Open(root, keyPath, reg::kKeyQueryValue) != reg::kSuccess) return;

        // Type and stored size: a null buffer with a size of 0.
        std::uint32_t type = 0;
        std::uint32_t storedSize = 0;
        if (registry_.QueryValueEx(key.Get(), valueName, &type, nullptr, &storedSize) !=
            reg::kSuccess) {
            key.Close();
            return;
        }
        switch (type) {
            case reg::kSz:
                result = ReadText(registry_, key.Get(), valueName, storedSize);
                break;
            case reg::kExpandSz:
                result = ReadExpandedText(registry_, key.Get(), valueName);
                break;
            case reg::kBinary:
                result = ReadBinary(registry_, key.Get(), valueName, storedSize);
                break;
            case reg::kDword:
                result = ReadDword(registry_, key.Get(), valueName, storedSize);
                break;
            default:
                break;  // REG_MULTI_SZ and the rest: the empty value
        }
        key.Close();
    });
    return result;
}

void RegistryAccess::RegistrySetKeyValue(RegKey root, const std::string& keyPath,
                                         const std::string& valueName, const Variant& data,
                                         std::int32_t valueType) {
    RunTrapped(messages_, "RegistrySetKeyValue", [&] {
        KeyHandle key(registry_);
        key.Create(root, keyPath);
        // The data is converted even when the key could not be created, so that data which
        // cannot be converted is reported either way; nothing is written without a key.
        switch (valueType) {
            case reg::kSz: {
                const std::string text = data.ToText();
                const std::string bytes(text.c_str(), text.size() + 1);  // with its NUL
                if (key.IsOpen()) {
                    registry_.SetValueEx(key.Get(), valueName, 0, reg::kSz,
                                         reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                         static_cast<std::uint32_t>(bytes.size()));
                }
                break;
            }
            case reg::kBinary: {
                const ByteArray& bytes = data.ToByteArray();
                // Element 0 is where the write starts; an array without one is unusable.
                if (bytes.empty()) throw RuntimeError::FromNumber(err::kSubscriptOutOfRange);
                if (key.IsOpen()) {
                    registry_.SetValueEx(key.Get(), valueName, 0, reg::kBinary, bytes.data(),
                                         static_cast<std::uint32_t>(bytes.size()));
                }
                break;
            }
            case reg::kDword: {
                const auto value = static_cast<std::uint32_t>(data.ToInt32());
                const std::array<std::uint8_t, 4> bytes = {
                    static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                    static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
                if (key.IsOpen()) {
                    registry_.SetValueEx(key.Get(), valueName, 0, reg::kDword, bytes.data(),
                                         static_cast<std::uint32_t>(bytes.size()));
                }
                break;
            }
            default:
                break;  // REG_EXPAND_SZ and every other type: the key alone
        }
        key.Close();
    });
}

}  // namespace tamsel
