#include "platform/target_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/system_error_text.h"

namespace vantrel {

uint64_t GetFileLength(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return 0;
    struct stat info {};
    const bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return ok ? static_cast<uint64_t>(info.st_size) : 0;
}

void RemoveRegularFile(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::lstat(path.c_str(), &info) != 0) return;
    if (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) ::unlink(path.c_str());
}

Expected<void> CheckWritableFolder(const std::string& folder) {
    std::string probe = (folder.empty() ? std::string(".") : folder) + "/.vantrel-write-test-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return Fail(SystemErrorText(errno));
    ::close(fd);
    ::unlink(probe.c_str());
    return {};
}

Expected<void> MoveIntoPlace(const std::string& from, const std::string& to) {
    // rename() would replace a read-only file as readily as any other, since
    // only the folder's permission counts; the user marked it to be kept.
    if (::access(to.c_str(), F_OK) == 0 && ::access(to.c_str(), W_OK) != 0) {
        return Fail(to + ": " + SystemErrorText(errno));
    }
    if (::rename(from.c_str(), to.c_str()) != 0) return Fail(to + ": " + SystemErrorText(errno));
    return {};
}

}  // namespace vantrel
