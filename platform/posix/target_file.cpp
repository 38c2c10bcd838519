#include "platform/target_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {
namespace {

int64_t ModifiedNanoseconds(const struct stat& info) {
    return static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

}  // namespace

uint64_t GetFileLength(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return 0;
    struct stat info {};
    const bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return ok ? static_cast<uint64_t>(info.st_size) : 0;
}

TargetSnapshot SnapshotTarget(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return {};
    return {true, static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
            static_cast<uint64_t>(info.st_size), ModifiedNanoseconds(info)};
}

void DeleteRunTarget(const std::string& path, const TargetSnapshot& before) {
    if (path.empty()) return;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
    const bool untouched = before.existed && static_cast<uint64_t>(info.st_dev) == before.volume &&
                           static_cast<uint64_t>(info.st_ino) == before.fileId &&
                           static_cast<uint64_t>(info.st_size) == before.size &&
                           ModifiedNanoseconds(info) == before.modifiedNanoseconds;
    if (!untouched) ::unlink(path.c_str());
}

}  // namespace vantrel
