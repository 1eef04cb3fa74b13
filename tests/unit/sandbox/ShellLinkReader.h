#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tamsel::sandbox {

// Reads back what the tests need of a shortcut file, checking each size field on the way, so
// that a wrong offset or count in the writer shows up as a failure here.
struct ReadLink {
    std::uint32_t flags = 0;
    std::uint32_t showCommand = 0;
    std::uint16_t hotKey = 0;
    std::int32_t iconIndex = 0;
    std::vector<std::string> itemNames;  // the long names of the file entry items
    std::uint32_t driveType = 0;
    std::uint32_t serial = 0;
    std::string label;
    std::string localBasePath;
    std::string description, relativePath, workingDirectory, iconLocation;
};

class LinkBytes {
  public:
    explicit LinkBytes(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    std::uint32_t U16(std::size_t at) const { return Byte(at) | Byte(at + 1) << 8; }
    std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }
    std::string Ansi(std::size_t at) const {
        std::string text;
        while (Byte(at) != 0) text += static_cast<char>(Byte(at++));
        return text;
    }
    // UTF-16 of ASCII text only (what these tests write).
    std::string Utf16(std::size_t at, std::size_t units) const {
        std::string text;
        for (std::size_t i = 0; i < units; ++i) text += static_cast<char>(U16(at + 2 * i));
        return text;
    }
    std::size_t Size() const { return bytes_.size(); }

  private:
    std::uint32_t Byte(std::size_t at) const {
        if (at >= bytes_.size()) throw std::out_of_range("read past the end of the link");
        return bytes_[at];
    }
    const std::vector<std::uint8_t>& bytes_;
};

inline ReadLink ReadShellLink(const std::vector<std::uint8_t>& data) {
    LinkBytes in(data);
    ReadLink link;
    if (in.U32(0) != 0x4C) throw std::runtime_error("bad header size");
    link.flags = in.U32(20);
    link.iconIndex = static_cast<std::int32_t>(in.U32(56));
    link.showCommand = in.U32(60);
    link.hotKey = static_cast<std::uint16_t>(in.U16(64));
    std::size_t at = 0x4C;
    if (link.flags & 0x1) {
        std::size_t end = at + 2 + in.U16(at);
        std::size_t item = at + 2;
        while (in.U16(item) != 0) {
            std::size_t size = in.U16(item);
            if ((in.U16(item + 2) & 0xFF) == 0x31 || (in.U16(item + 2) & 0xFF) == 0x32) {
                std::size_t extension = in.U16(item + size - 2);  // offset of the extension
                std::size_t name = item + extension + 18 + 2;
                std::size_t units = 0;
                while (in.U16(name + 2 * units) != 0) ++units;
                link.itemNames.push_back(in.Utf16(name, units));
            }
            item += size;
        }
        if (item + 2 != end) throw std::runtime_error("IDListSize does not match the items");
        at = end;
    }
    if (link.flags & 0x2) {
        std::size_t volume = at + in.U32(at + 12);
        link.driveType = in.U32(volume + 4);
        link.serial = in.U32(volume + 8);
        link.label = in.Ansi(volume + in.U32(volume + 12));
        link.localBasePath = in.Ansi(at + in.U32(at + 16));
        at += in.U32(at);
    }
    auto next = [&](std::uint32_t flag, std::string& out) {
        if ((link.flags & flag) == 0) return;
        std::size_t units = in.U16(at);
        out = in.Utf16(at + 2, units);
        at += 2 + 2 * units;
    };
    next(0x04, link.description);
    next(0x08, link.relativePath);
    next(0x10, link.workingDirectory);
    next(0x20, link.relativePath);  // arguments: not written, would show up as a mismatch
    next(0x40, link.iconLocation);
    if (in.U32(at) != 0 || at + 4 != in.Size()) throw std::runtime_error("no terminal block");
    return link;
}

}  // namespace tamsel::sandbox
