#include "platform/free_space.h"

#include <sys/statvfs.h>

namespace vantrel {

std::optional<uint64_t> FileSystemFreeSpace::FreeBytes(const std::string& folder) const {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) return std::nullopt;
    // /proc and some virtual or read-only images report no size at all; their
    // zero available blocks mean "not counted", not "full".
    if (info.f_blocks == 0) return std::nullopt;
    return static_cast<uint64_t>(info.f_bavail) * static_cast<uint64_t>(info.f_frsize);
}

}  // namespace vantrel
