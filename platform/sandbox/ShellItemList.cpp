#include "platform/sandbox/ShellItemList.h"

#include <cctype>
#include <cstring>

#include "platform/RuntimeError.h"
#include "platform/sandbox/ByteBuffer.h"
#include "platform/sandbox/ShortNames.h"
#include "platform/sandbox/Utf8ToUtf16.h"

namespace tamsel::sandbox {

namespace {

// CLSID_MyComputer {20D04FE0-3AEA-1069-A2D8-08002B30309D} in its stored byte order.
constexpr std::uint8_t kMyComputer[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                          0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

constexpr std::uint8_t kRootFolderItem = 0x1F;
constexpr std::uint8_t kMyComputerSortIndex = 0x50;
constexpr std::uint8_t kVolumeItem = 0x2F;
constexpr std::uint8_t kFolderEntryItem = 0x31;
constexpr std::uint8_t kFileEntryItem = 0x32;
constexpr std::uint16_t kAttributeDirectory = 0x10;
constexpr std::uint16_t kAttributeArchive = 0x20;
constexpr std::uint32_t kFileEntryExtension = 0xBEEF0004;
constexpr std::uint16_t kExtensionVersionXp = 3;
constexpr std::uint16_t kExtensionIdentifierXp = 0x14;
constexpr std::size_t kVolumeItemSize = 25;

[[noreturn]] void Refuse() { throw RuntimeError::FromNumber(err::kInvalidProcedureCall); }

std::uint16_t ItemSize(std::size_t size) {
    if (size > 0xFFFF) Refuse();
    return static_cast<std::uint16_t>(size);
}

std::vector<std::uint8_t> FileEntryItem(const std::string& longName, bool isFolder,
                                        std::uint32_t size) {
    ByteBuffer item;
    item.U16(0);  // size, patched below
    item.U8(isFolder ? kFolderEntryItem : kFileEntryItem);
    item.U8(0);
    item.U32(isFolder ? 0 : size);
    item.U32(0);  // modification time: not set
    item.U16(isFolder ? kAttributeDirectory : kAttributeArchive);
    item.TextZ(ShortName(longName));
    if (item.Size() % 2 != 0) item.U8(0);

    std::size_t extension = item.Size();
    item.U16(0);  // extension size, patched below
    item.U16(kExtensionVersionXp);
    item.U32(kFileEntryExtension);
    item.U32(0);  // creation time: not set
    item.U32(0);  // last access time: not set
    item.U16(kExtensionIdentifierXp);
    item.U16(0);  // no localised name
    item.Utf16(Utf8ToUtf16(longName));
    item.U16(0);
    item.U16(ItemSize(extension));  // where the extension block starts in the item
    item.PatchU16(extension, ItemSize(item.Size() - extension));
    item.PatchU16(0, ItemSize(item.Size()));
    return item.Bytes();
}

}  // namespace

std::vector<std::uint8_t> TargetIdList(const std::string& windowsPath, bool targetIsFolder,
                                       std::uint32_t targetSize) {
    std::vector<std::string> names;
    std::size_t start = 3;
    while (start <= windowsPath.size()) {
        std::size_t end = windowsPath.find_first_of("\\/", start);
        if (end == std::string::npos) end = windowsPath.size();
        if (end > start) names.push_back(windowsPath.substr(start, end - start));
        start = end + 1;
    }

    ByteBuffer list;
    list.U16(0);  // IDListSize, patched below

    list.U16(2 + 2 + sizeof kMyComputer);
    list.U8(kRootFolderItem);
    list.U8(kMyComputerSortIndex);
    for (std::uint8_t byte : kMyComputer) list.U8(byte);

    std::size_t volume = list.Size();
    list.U16(kVolumeItemSize);
    list.U8(kVolumeItem);
    list.U8(static_cast<std::uint8_t>(std::toupper(static_cast<unsigned char>(windowsPath[0]))));
    list.U8(':');
    list.U8('\\');
    list.Zeros(kVolumeItemSize - (list.Size() - volume));

    for (std::size_t i = 0; i < names.size(); ++i) {
        bool last = i + 1 == names.size();
        list.Append(FileEntryItem(names[i], !last || targetIsFolder, last ? targetSize : 0));
    }
    list.U16(0);  // TerminalID
    list.PatchU16(0, ItemSize(list.Size() - 2));
    return list.Bytes();
}

}  // namespace tamsel::sandbox
