#include "common/Variant.h"

#include <cstdint>
#include <limits>

#include "platform/RuntimeError.h"

namespace tamsel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

enum class ParseResult { kNumber, kNotANumber, kOverflow };

// Reads a decimal number with optional sign, fraction and surrounding blanks, and rounds it to
// an integer half to even. The digits are worked in decimal, so that no value is misread
// through a binary fraction and no locale decides what the decimal point is.
ParseResult ParseRoundedInteger(std::string_view text, std::int32_t& out) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;

    bool digits = false;
    bool overflow = false;
    std::int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        digits = true;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > (std::int64_t{1} << 32)) {
            overflow = true;
            magnitude = std::int64_t{1} << 32;  // stays beyond every 32-bit value
        }
    }
    int firstFraction = 0;        // the first digit after the point
    bool restOfFraction = false;  // whether any later digit is not 0
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (bool first = true; i < text.size() && IsDigit(text[i]); ++i, first = false) {
            digits = true;
            if (first) {
                firstFraction = text[i] - '0';
            } else if (text[i] != '0') {
                restOfFraction = true;
            }
        }
    }
    if (!digits || i != text.size()) return ParseResult::kNotANumber;

    const bool roundUp =
        firstFraction > 5 || (firstFraction == 5 && (restOfFraction || magnitude % 2 != 0));
    if (roundUp) ++magnitude;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (overflow || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return ParseResult::kOverflow;
    }
    out = static_cast<std::int32_t>(value);
    return ParseResult::kNumber;
}

}  // namespace

std::string Variant::ToText() const {
    if (IsEmpty()) return std::string();
    if (const auto* text = std::get_if<std::string>(&value_)) return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value_)) return std::to_string(*number);
    const auto& bytes = std::get<ByteArray>(value_);
    return std::string(bytes.begin(), bytes.end());
}

std::int32_t Variant::ToInt32() const {
    if (IsEmpty()) return 0;
    if (const auto* number = std::get_if<std::int32_t>(&value_)) return *number;
    const auto* text = std::get_if<std::string>(&value_);
    std::int32_t number = 0;
    const ParseResult result =
        text != nullptr ? ParseRoundedInteger(*text, number) : ParseResult::kNotANumber;
    if (result == ParseResult::kNotANumber) throw RuntimeError::FromNumber(err::kTypeMismatch);
    if (result == ParseResult::kOverflow) throw RuntimeError::FromNumber(err::kOverflow);
    return number;
}

const ByteArray& Variant::ToByteArray() const {
    if (const auto* bytes = std::get_if<ByteArray>(&value_)) return *bytes;
    throw RuntimeError::FromNumber(err::kTypeMismatch);
}

bool operator==(const Variant& a, std::string_view text) {
    if (a.IsByteArray()) return false;
    // Compared through string_view::compare: `a.ToText() == text` would pick this very operator
    // again (the std::string converts to a Variant) and recurse without end.
    const std::string own = a.ToText();
    return text.compare(own) == 0;
}

}  // namespace tamsel
