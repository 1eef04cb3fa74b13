#include "platform/sandbox/ShellLinkWriter.h"

#include <cctype>

#include "platform/RuntimeError.h"
#include "platform/WindowsPath.h"
#include "platform/sandbox/ByteBuffer.h"
#include "platform/sandbox/ShellItemList.h"
#include "platform/sandbox/Utf8ToUtf16.h"

namespace tamsel::sandbox {

namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
// CLSID 00021401-0000-0000-C000-000000000046 in its stored byte order.
constexpr std::uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

constexpr std::uint32_t kHasLinkTargetIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kHasName = 0x04;
constexpr std::uint32_t kHasRelativePath = 0x08;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasIconLocation = 0x40;
constexpr std::uint32_t kIsUnicode = 0x80;

constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;

constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t kDriveFixed = 3;

bool IsDrivePath(const std::string& path) { return IsDriveAbsolute(path, true); }

bool IsAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

void Utf16Z(ByteBuffer& out, const std::string& text) {
    out.Utf16(Utf8ToUtf16(text));
    out.U16(0);
}

// LinkInfo with a VolumeID and a LocalBasePath; the optional Unicode fields are present only
// when the path or the label needs them, so plain names give the short classic form.
std::vector<std::uint8_t> LinkInfo(const ShellLink& link) {
    bool unicode = !IsAscii(link.targetPath) || !IsAscii(link.volumeLabel);
    const std::uint32_t headerSize = unicode ? 0x24 : 0x1C;

    ByteBuffer volume;
    volume.U32(0);  // VolumeIDSize, patched below
    volume.U32(kDriveFixed);
    volume.U32(link.volumeSerial);
    volume.U32(unicode ? 0x14 : 0x10);  // VolumeLabelOffset (0x14: use the Unicode one)
    if (unicode) {
        volume.U32(0x14 + static_cast<std::uint32_t>(link.volumeLabel.size()) + 1);
        volume.TextZ(link.volumeLabel);
        Utf16Z(volume, link.volumeLabel);
    } else {
        volume.TextZ(link.volumeLabel);
    }
    volume.PatchU32(0, static_cast<std::uint32_t>(volume.Size()));

    ByteBuffer info;
    info.U32(0);  // LinkInfoSize, patched below
    info.U32(headerSize);
    info.U32(kVolumeIdAndLocalBasePath);
    info.U32(headerSize);  // VolumeIDOffset: right after the header
    std::size_t localBasePathOffset = info.Size();
    info.U32(0);
    info.U32(0);  // no CommonNetworkRelativeLink
    std::size_t suffixOffset = info.Size();
    info.U32(0);
    std::size_t unicodePathOffset = info.Size();
    std::size_t unicodeSuffixOffset = unicodePathOffset + 4;
    if (unicode) info.Zeros(8);

    info.Append(volume.Bytes());
    info.PatchU32(localBasePathOffset, static_cast<std::uint32_t>(info.Size()));
    info.TextZ(link.targetPath);
    info.PatchU32(suffixOffset, static_cast<std::uint32_t>(info.Size()));
    info.U8(0);  // empty CommonPathSuffix
    if (unicode) {
        if (info.Size() % 2 != 0) info.U8(0);
        info.PatchU32(unicodePathOffset, static_cast<std::uint32_t>(info.Size()));
        Utf16Z(info, link.targetPath);
        info.PatchU32(unicodeSuffixOffset, static_cast<std::uint32_t>(info.Size()));
        info.U16(0);
    }
    info.PatchU32(0, static_cast<std::uint32_t>(info.Size()));
    return info.Bytes();
}

void StringData(ByteBuffer& out, const std::string& text) {
    std::u16string units = Utf8ToUtf16(text);
    if (units.size() > 0xFFFF) throw RuntimeError::FromNumber(err::kInvalidProcedureCall);
    out.U16(static_cast<std::uint16_t>(units.size()));
    out.Utf16(units);
}

}  // namespace

std::vector<std::uint8_t> WriteShellLink(const ShellLink& link) {
    bool onDrive = IsDrivePath(link.targetPath);
    bool relative = !link.targetPath.empty() && !onDrive;

    std::uint32_t flags = kIsUnicode;
    if (onDrive) flags |= kHasLinkTargetIdList | kHasLinkInfo;
    if (!link.description.empty()) flags |= kHasName;
    if (relative) flags |= kHasRelativePath;
    if (!link.workingDirectory.empty()) flags |= kHasWorkingDir;
    if (!link.iconLocation.empty()) flags |= kHasIconLocation;

    ByteBuffer out;
    out.U32(kHeaderSize);
    for (std::uint8_t byte : kLinkClsid) out.U8(byte);
    out.U32(flags);
    out.U32(link.targetIsFolder ? kAttributeDirectory : kAttributeArchive);
    out.Zeros(3 * 8);  // creation, access and write times: not set
    out.U32(link.targetIsFolder ? 0 : link.targetSize);
    out.U32(static_cast<std::uint32_t>(link.iconIndex));
    out.U32(link.showCommand);
    out.U16(link.hotKey);
    out.Zeros(2 + 4 + 4);  // reserved

    if (onDrive) {
        out.Append(TargetIdList(link.targetPath, link.targetIsFolder, link.targetSize));
        out.Append(LinkInfo(link));
    }
    if (flags & kHasName) StringData(out, link.description);
    if (flags & kHasRelativePath) StringData(out, link.targetPath);
    if (flags & kHasWorkingDir) StringData(out, link.workingDirectory);
    if (flags & kHasIconLocation) StringData(out, link.iconLocation);
    out.U32(0);  // terminal block
    return out.Bytes();
}

}  // namespace tamsel::sandbox
