#include <cstdint>
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

// One change that a registry file asks for, with the line it came from.
struct Change {
    enum class Kind { kCreateKey, kDeleteKey, kSetValue, kDeleteValue };
    Kind kind = Kind::kCreateKey;
    std::size_t line = 0;
    RegKey root = 0;
    std::string path;
    RegistryValue value;
};

[[noreturn]] void Malformed(std::size_t line, const std::string& what) {
    throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

std::string_view TrimLeft(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view TrimRight(std::string_view text) {
    std::size_t end = text.find_last_not_of(" \t");
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && FoldCase(text.substr(0, prefix.size())) == prefix;
}

// The file as UTF-8 text: a UTF-16LE file (with its byte-order mark) is converted, a UTF-8
// byte-order mark dropped.
std::string DecodeFile(const std::string& file) {
    if (file.size() >= 2 && static_cast<unsigned char>(file[0]) == 0xFF &&
        static_cast<unsigned char>(file[1]) == 0xFE) {
        auto text =
            Utf16LeToAnsi(reinterpret_cast<const std::uint8_t*>(file.data()) + 2, file.size() - 2);
        if (!text) throw std::runtime_error("the file is not valid UTF-16LE text");
        return *text;
    }
    if (file.rfind("\xEF\xBB\xBF", 0) == 0) return file.substr(3);
    return file;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

// Reads a "quoted" text at text[0] with its escapes; moves text past the closing quote.
std::string ReadQuoted(std::string_view& text, std::size_t line) {
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size()) break;
        switch (text[i]) {
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case '0':
                out += '\0';
                break;
            default:
                Malformed(line, std::string("unknown escape \\") + text[i] +
                                    " in a quoted text (write a backslash as \\\\)");
        }
    }
    Malformed(line, "quoted text without its closing \"");
}

void ExpectLineEnd(std::string_view rest, std::size_t line) {
    if (!TrimLeft(rest).empty()) {
        Malformed(line, "unexpected \"" + std::string(TrimLeft(rest)) + "\" after the value");
    }
}

std::uint32_t ParseHexNumber(std::string_view digits, std::size_t line, const char* what) {
    if (digits.empty() || digits.size() > 8) Malformed(line, std::string("bad ") + what);
    std::uint32_t number = 0;
    for (char c : digits) {
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0)
            Malformed(line, std::string("bad ") + what + " \"" + std::string(digits) + "\"");
        number = (number << 4) | static_cast<std::uint32_t>(digit);
    }
    return number;
}

std::vector<std::uint8_t> ParseHexBytes(std::string_view list, std::size_t line) {
    std::vector<std::uint8_t> bytes;
    list = TrimRight(TrimLeft(list));
    if (list.empty()) return bytes;
    while (true) {
        std::size_t comma = list.find(',');
        std::string_view token = TrimRight(TrimLeft(list.substr(0, comma)));
        if (token.size() > 2) Malformed(line, "bad hex byte \"" + std::string(token) + "\"");
        bytes.push_back(static_cast<std::uint8_t>(ParseHexNumber(token, line, "hex byte")));
        if (comma == std::string_view::npos) return bytes;
        list.remove_prefix(comma + 1);
    }
}

class RegFileParser {
  public:
    explicit RegFileParser(const std::string& file)
        : text_(DecodeFile(file)), lines_(SplitLines(text_)) {}

    std::vector<Change> Parse() {
        ReadHeader();
        for (; index_ < lines_.size(); ++index_) {
            std::string_view line = TrimLeft(lines_[index_]);
            if (line.empty() || line[0] == ';') continue;
            if (line[0] == '[') {
                ReadKeyLine(line);
            } else if (line[0] == '@' || line[0] == '"') {
                ReadValueLine(line);
            } else {
                Malformed(LineNumber(), "neither a [key], a value nor a comment: \"" +
                                            std::string(TrimRight(line)) + "\"");
            }
        }
        return std::move(changes_);
    }

  private:
    std::size_t LineNumber() const { return index_ + 1; }

    void ReadHeader() {
        while (index_ < lines_.size() && TrimLeft(lines_[index_]).empty()) ++index_;
        std::string_view header = index_ < lines_.size() ? TrimRight(lines_[index_]) : "";
        if (header == "Windows Registry Editor Version 5.00") {
            unicode_ = true;
        } else if (header == "REGEDIT4") {
            unicode_ = false;
        } else {
            Malformed(LineNumber(),
                      "not a registry file: expected \"Windows Registry Editor Version 5.00\" or "
                      "\"REGEDIT4\"");
        }
        ++index_;
    }

    void ReadKeyLine(std::string_view line) {
        std::size_t close = line.rfind(']');
        if (close == std::string_view::npos) Malformed(LineNumber(), "key line without \"]\"");
        ExpectLineEnd(line.substr(close + 1), LineNumber());
        std::string_view name = line.substr(1, close - 1);
        bool remove = !name.empty() && name[0] == '-';
        if (remove) name.remove_prefix(1);
        if (!FitsOnKeyLine(name)) {
            Malformed(LineNumber(),
                      "a line break in the key name, which a registry file cannot "
                      "hold");
        }
        auto full = ParseFullKeyName(name);
        if (!full) Malformed(LineNumber(), "unknown root key in \"" + std::string(name) + "\"");
        std::vector<std::string> parts;
        if (SplitKeyPath(full->path, parts) != reg::kSuccess) {
            Malformed(LineNumber(), "invalid key name \"" + std::string(name) + "\"");
        }
        if (remove && parts.empty()) Malformed(LineNumber(), "a root key cannot be deleted");
        Change change;
        change.kind = remove ? Change::Kind::kDeleteKey : Change::Kind::kCreateKey;
        change.line = LineNumber();
        change.root = full->root;
        change.path = full->path;
        hasKey_ = !remove;
        key_ = change;
        changes_.push_back(std::move(change));
    }

    void ReadValueLine(std::string_view line) {
        std::size_t first = LineNumber();
        if (!hasKey_) Malformed(first, "value outside a [key] block");
        Change change = key_;
        change.line = first;
        if (line[0] == '@') {
            line.remove_prefix(1);
        } else {
            change.value.name = ReadQuoted(line, first);
            if (change.value.name.size() > kMaxValueNameLength)
                Malformed(first, "value name too long");
        }
        line = TrimLeft(line);
        if (line.empty() || line[0] != '=') Malformed(first, "\"=\" expected after the value name");
        line = TrimLeft(line.substr(1));

        if (!line.empty() && line[0] == '-') {
            ExpectLineEnd(line.substr(1), first);
            change.kind = Change::Kind::kDeleteValue;
        } else if (!line.empty() && line[0] == '"') {
            std::string text = ReadQuoted(line, first);
            ExpectLineEnd(line, first);
            change.kind = Change::Kind::kSetValue;
            change.value.type = reg::kSz;
            change.value.data.assign(text.begin(), text.end());
            change.value.data.push_back(0);
        } else if (StartsWithNoCase(line, "dword:")) {
            std::uint32_t number = ParseHexNumber(TrimRight(line.substr(6)), first, "dword");
            change.kind = Change::Kind::kSetValue;
            change.value.type = reg::kDword;
            for (int shift = 0; shift < 32; shift += 8) {
                change.value.data.push_back(static_cast<std::uint8_t>(number >> shift));
            }
        } else if (StartsWithNoCase(line, "hex")) {
            ReadHexValue(line.substr(3), change);
        } else {
            Malformed(first, "unrecognised value data \"" + std::string(TrimRight(line)) + "\"");
        }
        changes_.push_back(std::move(change));
    }

    // "hex:..." or "hex(N):...", continued on the following lines after a trailing "\".
    void ReadHexValue(std::string_view rest, Change& change) {
        std::size_t first = LineNumber();
        std::uint32_t type = reg::kBinary;
        if (!rest.empty() && rest[0] == '(') {
            std::size_t close = rest.find(')');
            if (close == std::string_view::npos) Malformed(first, "hex( without )");
            type = ParseHexNumber(rest.substr(1, close - 1), first, "value type");
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest[0] != ':') Malformed(first, "\":\" expected after hex");
        std::string list(TrimRight(rest.substr(1)));
        while (!list.empty() && list.back() == '\\') {
            list.pop_back();
            if (++index_ == lines_.size()) Malformed(first, "hex data continues past the end");
            list += TrimRight(TrimLeft(lines_[index_]));
        }
        std::vector<std::uint8_t> bytes = ParseHexBytes(list, first);
        // In a version 5 file text data written as hex is UTF-16LE, as regedit writes it.
        if (unicode_ && (type == reg::kSz || type == reg::kExpandSz || type == reg::kMultiSz)) {
            auto text = Utf16LeToAnsi(bytes.data(), bytes.size());
            if (!text) Malformed(first, "text data in hex is not UTF-16LE");
            bytes.assign(text->begin(), text->end());
        }
        change.kind = Change::Kind::kSetValue;
        change.value.type = type;
        change.value.data = std::move(bytes);
    }

    std::string text_;
    std::vector<std::string_view> lines_;
    std::size_t index_ = 0;
    bool unicode_ = true;
    bool hasKey_ = false;
    Change key_;
    std::vector<Change> changes_;
};

[[noreturn]] void Failed(const Change& change, const std::string& what, RegStatus status) {
    Malformed(change.line, what + " (status " + std::to_string(status) + ")");
}

RegKey CreateKey(SqliteRegistry& registry, const Change& change) {
    RegKey key = 0;
    RegStatus status =
        registry.CreateKeyEx(change.root, change.path, 0, nullptr, reg::kOptionNonVolatile,
                             reg::kKeyAllAccess, &key, nullptr);
    if (status != reg::kSuccess) Failed(change, "cannot create the key", status);
    return key;
}

void Apply(SqliteRegistry& registry, const Change& change) {
    switch (change.kind) {
        case Change::Kind::kCreateKey:
            registry.CloseKey(CreateKey(registry, change));
            return;
        case Change::Kind::kDeleteKey: {
            RegStatus status = registry.DeleteKeyTree(change.root, change.path);
            if (status != reg::kSuccess && status != reg::kFileNotFound) {
                Failed(change, "cannot delete the key", status);
            }
            return;
        }
        case Change::Kind::kSetValue: {
            RegKey key = CreateKey(registry, change);
            const auto& data = change.value.data;
            RegStatus status =
                registry.SetValueEx(key, change.value.name, 0, change.value.type, data.data(),
                                    static_cast<std::uint32_t>(data.size()));
            registry.CloseKey(key);
            if (status != reg::kSuccess) Failed(change, "cannot write the value", status);
            return;
        }
        case Change::Kind::kDeleteValue: {
            RegKey key = 0;
            RegStatus status =
                registry.OpenKeyEx(change.root, change.path, 0, reg::kKeySixRights, &key);
            if (status == reg::kFileNotFound) return;
            if (status != reg::kSuccess) Failed(change, "cannot open the key", status);
            status = registry.DeleteValue(key, change.value.name);
            registry.CloseKey(key);
            if (status != reg::kSuccess && status != reg::kFileNotFound) {
                Failed(change, "cannot delete the value", status);
            }
            return;
        }
    }
}

}  // namespace

void ImportRegFile(SqliteRegistry& registry, const std::string& text) {
    std::vector<Change> changes = RegFileParser(text).Parse();
    registry.RunInTransaction([&] {
        for (const auto& change : changes) Apply(registry, change);
    });
}

}  // namespace tamsel::sandbox
