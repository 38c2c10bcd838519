#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// One line of /proc/self/mountinfo, with the fields the card list needs.
// Paths come unescaped: the kernel writes a space in a mount point as "\040".
struct MountEntry {
    unsigned major = 0;       // the device the kernel names: the block device for a
    unsigned minor = 0;       // disk or fuseblk mount, an anonymous 0:N for plain FUSE
    std::string root;         // the folder of the file system seen at the mount point
    std::string mountPoint;
    std::string fileSystemType;  // "vfat", "exfat", "fuseblk", "fuse.fusefat"...
    std::string source;          // the device, image or name the mounter gave
};

// None when the line is not a mount (a blank or cut line).
std::optional<MountEntry> ParseMountInfoLine(std::string_view line);

// Every mount in the text, in its order.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

}  // namespace vantrel
