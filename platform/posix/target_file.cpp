#include "platform/target_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/system_error_text.h"
#include "platform/translation.h"

namespace vantrel {
namespace {

// Some file systems cannot flush a folder (EINVAL); the rename then stands
// on what they do by themselves.
void FlushFolder(const std::string& file) {
    const size_t slash = file.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
    if (const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// `file`, and the system's reason it could not be put in place.
Unexpected<std::string> CannotPlace(const std::string& file, int error) {
    // TRANSLATORS: {1} is a file's path, {2} the system's reason it cannot be written, such as "Permission denied".
    return Fail(Fill(Tr("{1}: {2}"), {file, SystemErrorText(error)}));
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
        return CannotPlace(to, errno);
    }
    // The file's bytes reach the device before its name does, and the name
    // before the file is called done: a card pulled at once keeps it whole.
    if (const int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC); fd >= 0) {
        const bool flushed = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOSYS;
        const int why = errno;
        ::close(fd);
        if (!flushed) return CannotPlace(to, why);
    }
    if (::rename(from.c_str(), to.c_str()) != 0) return CannotPlace(to, errno);
    FlushFolder(to);
    return {};
}

}  // namespace vantrel
