#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/RegFileText.h"
#include "platform/sandbox/RegistryNames.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace tamsel::sandbox {

namespace {

constexpr std::size_t kHexLineLimit = 80;

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\0':
                out += "\\0";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

// A REG_SZ that can be written "quoted" and read back to the same bytes.
bool IsCleanText(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.back() != 0) return false;
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size() - 1);
    return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos &&
           IsValidUtf8(text);
}

// "hex(N):xx,xx,..." after a prefix of `column` characters, wrapped the way regedit wraps it.
std::string HexData(std::string_view kind, const std::vector<std::uint8_t>& bytes,
                    std::size_t column) {
    std::string out(kind);
    column += kind.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        out += digits;
        column += 2;
        if (i + 1 == bytes.size()) break;
        out += ',';
        ++column;
        // Room for another "xx," and the "\" that ends a continued line.
        if (column + 4 > kHexLineLimit) {
            out += "\\\n  ";
            column = 2;
        }
    }
    return out;
}

std::string FormatValue(const RegistryValue& value) {
    std::string line = value.name.empty() ? "@=" : Quote(value.name) + "=";
    const auto& data = value.data;
    switch (value.type) {
        case reg::kSz:
            if (IsCleanText(data)) {
                return line + Quote(std::string_view(reinterpret_cast<const char*>(data.data()),
                                                     data.size() - 1));
            }
            [[fallthrough]];
        case reg::kExpandSz:
        case reg::kMultiSz: {
            std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
            char kind[16];
            std::snprintf(kind, sizeof kind, "hex(%x):", value.type);
            return line + HexData(kind, AnsiToUtf16Le(text), line.size());
        }
        case reg::kDword:
            if (data.size() == 4) {
                char text[20];
                std::snprintf(text, sizeof text, "dword:%08x",
                              static_cast<unsigned>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                                    (static_cast<unsigned>(data[3]) << 24)));
                return line + text;
            }
            break;
        case reg::kBinary:
            return line + HexData("hex:", data, line.size());
        default:
            break;
    }
    char kind[16];
    std::snprintf(kind, sizeof kind, "hex(%x):", value.type);
    return line + HexData(kind, data, line.size());
}

void ExportKey(SqliteRegistry& registry, RegKey root, const std::string& path, std::string& out) {
    std::string name = std::string(RootName(root)) + (path.empty() ? "" : "\\" + path);
    if (!FitsOnKeyLine(name)) {
        throw std::runtime_error("key \"" + name +
                                 "\" has a line break in its name, which a "
                                 "registry file cannot hold");
    }
    out += "[" + name + "]\n";
    for (const auto& value : registry.Values(root, path)) out += FormatValue(value) + "\n";
    out += "\n";
    for (const auto& sub : registry.SubKeyNames(root, path)) {
        ExportKey(registry, root, path.empty() ? sub : path + "\\" + sub, out);
    }
}

}  // namespace

std::string ExportRegFile(SqliteRegistry& registry, const std::optional<std::string>& key) {
    std::string out = "Windows Registry Editor Version 5.00\n\n";
    registry.RunInTransaction([&] {
        if (!key) {
            for (RegKey root : RootsInOrder()) ExportKey(registry, root, "", out);
            return;
        }
        auto name = ParseFullKeyName(*key);
        if (!name) {
            throw std::runtime_error("\"" + *key +
                                     "\" does not start with a root key (HKCR, "
                                     "HKCU, HKLM, HKU or their full names)");
        }
        auto stored = registry.StoredKeyPath(name->root, name->path);
        if (!stored) throw std::runtime_error("key not found: " + *key);
        ExportKey(registry, name->root, *stored, out);
    });
    return out;
}

}  // namespace tamsel::sandbox
