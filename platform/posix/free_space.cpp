#include "free_space.h"

#include <sys/statvfs.h>

namespace vantrel {

std::optional<uint64_t> FileSystemFreeSpace::FreeBytes(const std::string& folder) const {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) return std::nullopt;
    return static_cast<uint64_t>(info.f_bavail) * static_cast<uint64_t>(info.f_frsize);
}

}  // namespace vantrel
