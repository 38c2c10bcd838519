#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// What a FAT or exFAT volume says of itself in its first sector, read when
// udev has not told (no udev, or an image FUSE mounts).
struct VolumeIdentity {
    std::string fileSystem;  // "FAT" or "exFAT"
    std::string label;       // trailing spaces cut; empty when it has none
    std::string serial;      // eight upper-case hex digits; empty when unknown
};

// The identity a boot sector (the volume's first 512 bytes or more) gives, or
// none when it is no FAT or exFAT boot sector (NTFS, ext4, a blank disk...).
// An exFAT volume keeps its label in its root folder instead: its label here
// is empty until ExfatVolumeLabel reads it.
std::optional<VolumeIdentity> ReadBootSector(std::string_view sector);

// Where an exFAT volume's root folder starts and how much of it to read for
// its label: its first cluster, at most 64 KiB. None for any other sector.
struct ByteRange {
    uint64_t offset = 0;
    uint64_t size = 0;
};
std::optional<ByteRange> ExfatRootFolder(std::string_view sector);

// The label in the volume-label entry of an exFAT root folder's bytes, as
// UTF-8; empty when it has none.
std::string ExfatVolumeLabel(std::string_view rootFolder);

}  // namespace vantrel
