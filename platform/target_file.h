#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// Size of a regular file in bytes; 0 when it cannot be opened or is not there.
uint64_t GetFileLength(const std::string& path);

// What stood at the target path before a run, so that a failed run removes
// only what the encoder wrote and never a file it left untouched. The file's
// identity is its device and inode on Linux, its volume and file index on
// Windows.
struct TargetSnapshot {
    bool existed = false;
    uint64_t volume = 0;
    uint64_t fileId = 0;
    uint64_t size = 0;
    int64_t modifiedNanoseconds = 0;
};

TargetSnapshot SnapshotTarget(const std::string& path);

// Removes the regular file at `path` unless it is exactly the file the
// snapshot describes. A failed removal is not reported.
void DeleteRunTarget(const std::string& path, const TargetSnapshot& before);

}  // namespace vantrel
