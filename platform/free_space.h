#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

// Bytes an unprivileged writer may still use on the file system holding a
// folder. Called after every chunk of encoder output, on the run's thread.
class FreeSpaceSource {
public:
    virtual ~FreeSpaceSource() = default;
    // std::nullopt when unknown: the query fails, or the file system reports
    // no size at all. Only a known 0 means full.
    virtual std::optional<uint64_t> FreeBytes(const std::string& folder) const = 0;
};

// What the system's own query reports (statvfs's f_bavail × f_frsize, or
// GetDiskFreeSpaceExW's bytes free to the caller); unknown when the file
// system reports no size at all.
class FileSystemFreeSpace : public FreeSpaceSource {
public:
    std::optional<uint64_t> FreeBytes(const std::string& folder) const override;
};

}  // namespace vantrel
