#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/mount_table.h"

namespace vantrel {

// Whether a mount may be a card, before its volume is looked at: the root of
// a FAT or exFAT file system, or of a fuseblk one that may be either, that is
// not one of the system's own (/boot, /boot/efi, /efi and what is below them).
bool MayBeCard(const MountEntry& mount);

// The card file system ("FAT" or "exFAT") of a mount, or none when it is no
// card. `volumeType` is what the volume says it is, as udev names it ("vfat",
// "exfat", "ntfs"...; empty when unknown): only a fuseblk mount, which ntfs-3g
// makes as well as exfat-fuse, needs it.
std::optional<std::string> CardFileSystem(const MountEntry& mount, std::string_view volumeType);

}  // namespace vantrel
