#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// What udev's database (/run/udev/data/b<major>:<minor>) knows of a block
// device's file system. Anyone may read it, so a desktop user learns a card's
// label without the right to read the card's sectors.
struct UdevVolume {
    std::string type;   // blkid's name: "vfat", "exfat", "ntfs"...
    std::string label;  // unescaped; empty when it has none
    std::string uuid;   // "51AC-7670" for FAT and exFAT
};

// None when the record names no file system.
std::optional<UdevVolume> ParseUdevVolume(std::string_view record);

}  // namespace vantrel
