#include "frontend/script/JsonString.h"

namespace tamsel::script {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence that starts with lead byte `lead`, 0 for a byte
// that starts none, and the range of the byte after it (the later ones are all 0x80-0xBF).
struct SequenceStart {
    std::size_t length;
    unsigned char secondMin;
    unsigned char secondMax;
};

SequenceStart StartOf(unsigned char lead) {
    if (lead < 0x80) return {1, 0, 0};
    if (lead < 0xC2) return {0, 0, 0};  // a continuation byte, or an overlong form
    if (lead < 0xE0) return {2, 0x80, 0xBF};
    if (lead == 0xE0) return {3, 0xA0, 0xBF};  // no overlong forms
    if (lead == 0xED) return {3, 0x80, 0x9F};  // no surrogates
    if (lead < 0xF0) return {3, 0x80, 0xBF};
    if (lead == 0xF0) return {4, 0x90, 0xBF};  // no overlong forms
    if (lead < 0xF4) return {4, 0x80, 0xBF};
    if (lead == 0xF4) return {4, 0x80, 0x8F};  // nothing beyond U+10FFFF
    return {0, 0, 0};
}

// How many bytes at the start of `rest` (which starts with a lead byte of a sequence of
// `start.length`) belong to it; fewer than its length when it is cut short.
std::size_t WellFormedPrefix(std::string_view rest, SequenceStart start) {
    std::size_t n = 1;
    for (; n < start.length && n < rest.size(); ++n) {
        const auto byte = static_cast<unsigned char>(rest[n]);
        const unsigned char min = n == 1 ? start.secondMin : 0x80;
        const unsigned char max = n == 1 ? start.secondMax : 0xBF;
        if (byte < min || byte > max) break;
    }
    return n;
}

void AppendEscaped(std::string& out, char c) {
    switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case '\b':
            out += "\\b";
            return;
        case '\f':
            out += "\\f";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default:
            break;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
        constexpr std::string_view kDigits = "0123456789abcdef";
        out += "\\u00";
        out += kDigits[static_cast<unsigned char>(c) >> 4];
        out += kDigits[static_cast<unsigned char>(c) & 0xF];
        return;
    }
    out += c;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        const SequenceStart start = StartOf(static_cast<unsigned char>(text[i]));
        if (start.length == 1) {
            AppendEscaped(out, text[i]);
            ++i;
        } else if (start.length == 0) {
            out += kReplacementCharacter;
            ++i;
        } else {
            const std::size_t n = WellFormedPrefix(text.substr(i), start);
            if (n == start.length) {
                out += text.substr(i, n);
            } else {
                out += kReplacementCharacter;  // the byte that broke it off starts afresh
            }
            i += n;
        }
    }
    out += '"';
    return out;
}

}  // namespace tamsel::script
