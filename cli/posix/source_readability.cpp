#include "cli/source_readability.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace vantrel::cli {

std::string WhyUnreadable(const std::string& path) {
    // Non-blocking, so that a named pipe with no writer cannot hang the check.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::strerror(errno);
    struct stat info {};
    const bool isFolder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    ::close(fd);
    return isFolder ? std::strerror(EISDIR) : std::string();
}

}  // namespace vantrel::cli
