#include "platform/posix/volume_boot_sector.h"

#include <algorithm>
#include <cstdio>

namespace vantrel {
namespace {

uint32_t Little(std::string_view bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

bool PowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

std::string Hex(uint32_t serial) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", serial);
    return text;
}

std::string TrimmedRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

void AppendUtf8(std::string& text, uint32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | code >> 6);
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | code >> 12);
        text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | code >> 18);
        text += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A FAT label is in the OEM code page the card was labelled under, which
// the card does not say; only its ASCII letters are certain.
std::string FatLabel(std::string_view field) {
    std::string label;
    for (char letter : field) {
        if (static_cast<uint8_t>(letter) < 0x80) {
            label += letter;
        } else {
            AppendUtf8(label, 0xFFFD);
        }
    }
    label = TrimmedRight(label);
    // What mkfs and Windows write for a volume without a label.
    return label == "NO NAME" ? "" : label;
}

std::optional<VolumeIdentity> ReadFat(std::string_view sector) {
    const uint8_t jump = static_cast<uint8_t>(sector[0]);
    const uint32_t bytesPerSector = Little(sector, 11, 2);
    const uint32_t sectorsPerCluster = Little(sector, 13, 1);
    // NTFS and exFAT have no reserved sectors nor FATs here, so these rule them out.
    if ((jump != 0xEB && jump != 0xE9) || bytesPerSector < 512 || bytesPerSector > 4096 ||
        !PowerOfTwo(bytesPerSector) || !PowerOfTwo(sectorsPerCluster) ||
        Little(sector, 14, 2) == 0 || Little(sector, 16, 1) == 0) {
        return std::nullopt;
    }
    // FAT32 leaves the 16-bit FAT size at 0 and moves the extended fields back.
    const size_t extended = Little(sector, 22, 2) == 0 ? 66 : 38;
    VolumeIdentity identity{"FAT", "", ""};
    const uint8_t signature = static_cast<uint8_t>(sector[extended]);
    if (signature == 0x28 || signature == 0x29) identity.serial = Hex(Little(sector, extended + 1, 4));
    if (signature == 0x29) identity.label = FatLabel(sector.substr(extended + 5, 11));
    return identity;
}

bool IsExfat(std::string_view sector) { return sector.substr(3, 8) == "EXFAT   "; }

}  // namespace

std::optional<VolumeIdentity> ReadBootSector(std::string_view sector) {
    if (sector.size() < 512 || static_cast<uint8_t>(sector[510]) != 0x55 ||
        static_cast<uint8_t>(sector[511]) != 0xAA) {
        return std::nullopt;
    }
    if (IsExfat(sector)) return VolumeIdentity{"exFAT", "", Hex(Little(sector, 100, 4))};
    return ReadFat(sector);
}

std::optional<ByteRange> ExfatRootFolder(std::string_view sector) {
    if (sector.size() < 512 || !IsExfat(sector)) return std::nullopt;
    const uint32_t sectorShift = Little(sector, 108, 1);
    const uint32_t clusterShift = sectorShift + Little(sector, 109, 1);
    const uint32_t rootCluster = Little(sector, 96, 4);
    // Sectors of 512 bytes to 4 KiB, clusters of at most 32 MiB; clusters count from 2.
    if (sectorShift < 9 || sectorShift > 12 || clusterShift > 25 || rootCluster < 2) {
        return std::nullopt;
    }
    const uint64_t heap = static_cast<uint64_t>(Little(sector, 88, 4)) << sectorShift;
    return ByteRange{heap + (static_cast<uint64_t>(rootCluster - 2) << clusterShift),
                     std::min<uint64_t>(uint64_t{1} << clusterShift, 64 * 1024)};
}

std::string ExfatVolumeLabel(std::string_view rootFolder) {
    for (size_t at = 0; at + 32 <= rootFolder.size(); at += 32) {
        const uint8_t type = static_cast<uint8_t>(rootFolder[at]);
        if (type == 0x00) break;  // the end of the folder
        if (type != 0x83) continue;  // 0x03, an unused label entry, means no label
        const uint32_t count = std::min<uint32_t>(Little(rootFolder, at + 1, 1), 11);
        std::string label;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t unit = Little(rootFolder, at + 2 + 2 * i, 2);
            if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count) {
                const uint32_t low = Little(rootFolder, at + 4 + 2 * i, 2);
                if (low >= 0xDC00 && low < 0xE000) {
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
            AppendUtf8(label, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
        }
        return TrimmedRight(label);
    }
    return "";
}

}  // namespace vantrel
