#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tamsel {

using ByteArray = std::vector<std::uint8_t>;

// A value that holds exactly one of: the empty value, a text, a signed 32-bit integer, or a
// byte array indexed from 0. The registry module returns one and takes one as data.
//
// Conversion rules:
//  - the empty value converts to the empty text and to 0;
//  - a number converts to its decimal text;
//  - a text that holds a number converts to that number (surrounding blanks allowed, a fraction
//    rounded half to even); any other text is "Type mismatch" (13), a number outside the
//    signed 32-bit range is "Overflow" (6);
//  - only a byte array can be taken as a byte array; anything else is "Type mismatch".
// Comparison with a text compares the value's text form; the empty value therefore equals the
// empty text and no other text. A byte array equals no text.
class Variant {
  public:
    Variant() = default;
    Variant(std::string text) : value_(std::move(text)) {}
    Variant(const char* text) : value_(std::string(text)) {}
    Variant(std::int32_t number) : value_(number) {}
    Variant(ByteArray bytes) : value_(std::move(bytes)) {}

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
    bool IsText() const { return std::holds_alternative<std::string>(value_); }
    bool IsInteger() const { return std::holds_alternative<std::int32_t>(value_); }
    bool IsByteArray() const { return std::holds_alternative<ByteArray>(value_); }

    // Conversions; they throw RuntimeError as described above.
    std::string ToText() const;
    std::int32_t ToInt32() const;
    const ByteArray& ToByteArray() const;

    friend bool operator==(const Variant& a, std::string_view text);
    // Exact overloads for the usual text types, so that `value == "text"` does not have to
    // choose between converting the text to a string_view and converting it to a Variant.
    friend bool operator==(const Variant& a, const char* text) {
        return a == std::string_view(text);
    }
    friend bool operator==(const Variant& a, const std::string& text) {
        return a == std::string_view(text);
    }
    friend bool operator==(const Variant& a, const Variant& b) = default;

  private:
    std::variant<std::monostate, std::string, std::int32_t, ByteArray> value_;
};

}  // namespace tamsel
