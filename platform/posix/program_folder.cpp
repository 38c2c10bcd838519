#include "platform/program_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace vantrel {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return {};
    return path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

std::string ProgramFileName(const std::string& stem) { return stem; }

std::string ProgramDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return JoinPath(data, "vantrel");
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return {};
    return JoinPath(home, ".local/share/vantrel");
}

std::string ProgramFolder() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buffer.size()) {
            return FolderOf(std::string(buffer.data(), static_cast<size_t>(n)));
        }
        buffer.resize(buffer.size() * 2);  // paths have no fixed limit here
    }
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    const std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= folders.size()) {
        size_t end = folders.find(':', begin);
        if (end == std::string::npos) end = folders.size();
        // An empty PATH entry means the current folder. (Assigning "." to an
        // emptied string trips g++ 12's -Wrestrict at -O2, hence the choice here.)
        const std::string folder = end > begin ? folders.substr(begin, end - begin) : ".";
        const std::string candidate = folder + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
        begin = end + 1;
    }
    return {};
}

}  // namespace vantrel
