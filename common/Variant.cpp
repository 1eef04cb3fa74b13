#include "common/Variant.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "common/RuntimeError.h"

namespace tamsel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Parses a decimal number with optional sign, fraction and surrounding blanks.
bool ParseNumber(std::string_view text, double& out) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return false;
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-') ++i;
    bool digits = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
    }
    if (!digits || i != text.size()) return false;
    // from_chars ignores the C locale (strtod would stop at a "." under a locale that writes
    // "1,5") but takes no "+" sign.
    if (text.front() == '+') text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), out);
    if (result.ec == std::errc::result_out_of_range) {
        // Without an exponent only hundreds of digits get here: before the point they make a
        // number too large for any integer, after it one too small to be anything but 0.
        const std::string_view whole = text.substr(0, text.find('.'));
        const bool huge = whole.find_first_of("123456789") != std::string_view::npos;
        out = huge ? (text.front() == '-' ? -HUGE_VAL : HUGE_VAL) : 0.0;
        return true;
    }
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
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
    double parsed = 0;
    if (text == nullptr || !ParseNumber(*text, parsed))
        throw RuntimeError::FromNumber(err::kTypeMismatch);
    const double rounded = std::nearbyint(parsed);  // default rounding mode: half to even
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        throw RuntimeError::FromNumber(err::kOverflow);
    }
    return static_cast<std::int32_t>(rounded);
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
