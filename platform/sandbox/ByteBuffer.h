#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tamsel::sandbox {

// Builds a little-endian binary record.
class ByteBuffer {
  public:
    void U8(std::uint8_t value) { bytes_.push_back(value); }
    void U16(std::uint16_t value) {
        U8(static_cast<std::uint8_t>(value));
        U8(static_cast<std::uint8_t>(value >> 8));
    }
    void U32(std::uint32_t value) {
        U16(static_cast<std::uint16_t>(value));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    void Append(const std::vector<std::uint8_t>& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
    // The bytes of a text followed by a NUL.
    void TextZ(const std::string& text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        U8(0);
    }
    void Utf16(const std::u16string& text) {
        for (char16_t unit : text) U16(static_cast<std::uint16_t>(unit));
    }
    void Zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    // Overwrites a 16- or 32-bit field written earlier.
    void PatchU16(std::size_t offset, std::uint16_t value) {
        bytes_[offset] = static_cast<std::uint8_t>(value);
        bytes_[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    void PatchU32(std::size_t offset, std::uint32_t value) {
        PatchU16(offset, static_cast<std::uint16_t>(value));
        PatchU16(offset + 2, static_cast<std::uint16_t>(value >> 16));
    }

    std::size_t Size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace tamsel::sandbox
