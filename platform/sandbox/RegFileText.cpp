#include "platform/sandbox/RegFileText.h"

namespace tamsel::sandbox {

namespace {

// Decodes one UTF-8 sequence at text[position]; its length in *length, or 0 when the bytes
// there are not a well-formed sequence.
char32_t DecodeUtf8(std::string_view text, std::size_t position, std::size_t* length) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[position + i]); };
    unsigned char first = byte(0);
    *length = 0;
    if (first < 0x80) {
        *length = 1;
        return first;
    }
    std::size_t count = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if ((first & 0xE0) == 0xC0) {
        count = 2, code = first & 0x1F, minimum = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        count = 3, code = first & 0x0F, minimum = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        count = 4, code = first & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (position + count > text.size()) return 0;
    for (std::size_t i = 1; i < count; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    *length = count;
    return code;
}

void PutUnit(std::vector<std::uint8_t>& out, char32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
}

void PutUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t position = 0; position < text.size();) {
        std::size_t length = 0;
        DecodeUtf8(text, position, &length);
        if (length == 0) return false;
        position += length;
    }
    return true;
}

std::vector<std::uint8_t> AnsiToUtf16Le(std::string_view text) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size() * 2);
    for (std::size_t position = 0; position < text.size();) {
        std::size_t length = 0;
        char32_t code = DecodeUtf8(text, position, &length);
        if (length == 0) {
            PutUnit(out, 0xDC00 + static_cast<unsigned char>(text[position]));
            ++position;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            PutUnit(out, 0xD800 + (code >> 10));
            PutUnit(out, 0xDC00 + (code & 0x3FF));
        } else {
            PutUnit(out, code);
        }
        position += length;
    }
    return out;
}

std::optional<std::string> Utf16LeToAnsi(const std::uint8_t* data, std::size_t size) {
    if (size % 2 != 0) return std::nullopt;
    std::string out;
    out.reserve(size / 2);
    auto unit = [&](std::size_t i) -> char32_t { return data[2 * i] | (data[2 * i + 1] << 8); };
    std::size_t count = size / 2;
    for (std::size_t i = 0; i < count; ++i) {
        char32_t code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < count && unit(i + 1) >= 0xDC00 &&
            unit(i + 1) <= 0xDFFF) {
            PutUtf8(out, 0x10000 + ((code - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if (code >= 0xDC80 && code <= 0xDCFF) {
            out += static_cast<char>(code - 0xDC00);  // a byte that was not valid UTF-8
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            return std::nullopt;
        } else {
            PutUtf8(out, code);
        }
    }
    return out;
}

bool FitsOnKeyLine(std::string_view keyName) {
    return keyName.find_first_of("\r\n") == std::string_view::npos;
}

}  // namespace tamsel::sandbox
