#include "platform/posix/card_mount.h"

namespace vantrel {
namespace {

bool IsSystemFolder(const std::string& mountPoint) {
    for (const std::string_view system : {"/boot", "/efi"}) {
        if (mountPoint.compare(0, system.size(), system) == 0 &&
            (mountPoint.size() == system.size() || mountPoint[system.size()] == '/')) {
            return true;
        }
    }
    return false;
}

// What a mount's type alone says; fuseblk says nothing.
std::optional<std::string> FileSystemOfType(std::string_view type) {
    // The kernel's drivers, then fusefat and exfat-fuse where they mount an
    // image or a volume as a plain FUSE file system.
    if (type == "vfat" || type == "msdos" || type == "fuse.fusefat") return "FAT";
    if (type == "exfat" || type == "fuse.exfat") return "exFAT";
    return std::nullopt;
}

}  // namespace

bool MayBeCard(const MountEntry& mount) {
    // A folder of a card bound elsewhere is not where the player looks for its files.
    if (mount.root != "/" || IsSystemFolder(mount.mountPoint)) return false;
    return mount.fileSystemType == "fuseblk" || FileSystemOfType(mount.fileSystemType);
}

std::optional<std::string> CardFileSystem(const MountEntry& mount, std::string_view volumeType) {
    if (!MayBeCard(mount)) return std::nullopt;
    if (mount.fileSystemType != "fuseblk") return FileSystemOfType(mount.fileSystemType);
    if (volumeType == "vfat" || volumeType == "msdos") return "FAT";
    if (volumeType == "exfat") return "exFAT";
    return std::nullopt;
}

}  // namespace vantrel
