#include "tests/support/mounted_card.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace vantrel::testing {
namespace {

std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (char letter : word) quoted += letter == '\'' ? std::string("'\\''") : std::string(1, letter);
    return quoted + "'";
}

// The tools live in sbin, which a plain user's PATH may lack.
std::string Tool(const std::string& name, const std::string& package) {
    std::string folders = std::getenv("PATH") ? std::getenv("PATH") : "";
    folders += ":/usr/sbin:/sbin:/usr/bin:/bin";
    for (size_t start = 0; start < folders.size();) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const std::string path = folders.substr(start, end - start) + "/" + name;
        if (end > start && ::access(path.c_str(), X_OK) == 0) return path;
        start = end + 1;
    }
    throw std::runtime_error("MountedCard: " + name + " is not installed (Debian package " +
                             package + "); a card cannot be made without it");
}

void NeedDevice(const std::string& device, const std::string& why) {
    const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("MountedCard: " + device + " cannot be opened (" +
                                 std::strerror(errno) + "): " + why);
    }
    ::close(fd);
}

std::string ReadAll(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// Runs a shell command with its output in `log`; throws with that output
// when it fails.
void Run(const std::string& command, const std::string& log) {
    const int status = std::system((command + " >" + Quoted(log) + " 2>&1 </dev/null").c_str());
    if (status != 0) {
        throw std::runtime_error("MountedCard: `" + command + "` failed (status " +
                                 std::to_string(status) + "):\n" + ReadAll(log));
    }
}

bool IsMountPoint(const std::string& folder) {
    struct stat self {};
    struct stat parent {};
    return ::stat(folder.c_str(), &self) == 0 && ::stat((folder + "/..").c_str(), &parent) == 0 &&
           self.st_dev != parent.st_dev;
}

// Waits until `folder` is, or is not, a mount point. The kernel marks the
// mount table's open file whenever a mount comes or goes, so each look
// follows a real change; the deadline only bounds a failure.
void AwaitMount(int table, const std::string& folder, bool mounted) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (IsMountPoint(folder) != mounted) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            throw std::runtime_error("MountedCard: " + folder + " was still " +
                                     (mounted ? "not mounted" : "mounted") + " after 20 s");
        }
        pollfd watched{table, POLLPRI, 0};
        if (::poll(&watched, 1, static_cast<int>(left.count())) > 0) {
            ::lseek(table, 0, SEEK_SET);  // reading it through marks the change as seen
            char buffer[16384];
            while (::read(table, buffer, sizeof buffer) > 0) {
            }
        }
    }
}

class MountTable {
public:
    MountTable() : fd_(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC)) {
        if (fd_ < 0) throw std::runtime_error("MountedCard: /proc/self/mountinfo cannot be read");
    }
    ~MountTable() { ::close(fd_); }
    MountTable(const MountTable&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

std::string NewHome() {
    std::string home = (std::filesystem::temp_directory_path() / "vantrel-card-XXXXXX").string();
    if (::mkdtemp(home.data()) == nullptr) {
        throw std::runtime_error("MountedCard: no temporary folder: " + std::string(std::strerror(errno)));
    }
    return home;
}

void MakeImage(const std::string& path, int megabytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const bool sized = fd >= 0 && ::ftruncate(fd, off_t{megabytes} * 1024 * 1024) == 0;
    if (fd >= 0) ::close(fd);
    if (!sized) throw std::runtime_error("MountedCard: the image " + path + " cannot be made");
}

}  // namespace

MountedCard MountedCard::Fat(std::string label, int megabytes) {
    const std::string mkfs = Tool("mkfs.vfat", "dosfstools");
    const std::string fusefat = Tool("fusefat", "fusefat");
    NeedDevice("/dev/fuse", "FUSE file systems cannot be mounted here");
    MountedCard card;
    card.home_ = NewHome();
    try {
        card.image_ = card.home_ + "/card.img";
        card.folder_ = card.home_ + "/card";
        MakeImage(card.image_, megabytes);
        Run(mkfs + (label.empty() ? "" : " -n " + Quoted(label)) + " " + Quoted(card.image_),
            card.home_ + "/log");
        // fusefat names itself as the mount's source unless told the image,
        // which a desktop would not tell; the card list then reads the label
        // from the image rather than the folder's name.
        card.Mount(fusefat + " -o rw+,fsname=" + Quoted(card.image_) + ",subtype=fusefat " +
                   Quoted(card.image_) + " " + Quoted(card.folder_));
    } catch (...) {
        card.Cleanup();
        throw;
    }
    return card;
}

MountedCard MountedCard::Exfat(std::string label, int megabytes) {
    const std::string mkfs = Tool("mkfs.exfat", "exfatprogs");
    const std::string mount = Tool("mount.exfat-fuse", "exfat-fuse");
    const std::string losetup = Tool("losetup", "mount");
    NeedDevice("/dev/fuse", "FUSE file systems cannot be mounted here");
    NeedDevice("/dev/loop-control", "no loop device can hold the exFAT image (needs root and the loop module)");
    MountedCard card;
    card.home_ = NewHome();
    try {
        card.image_ = card.home_ + "/card.img";
        card.folder_ = card.home_ + "/card";
        MakeImage(card.image_, megabytes);
        const std::string log = card.home_ + "/log";
        Run(mkfs + (label.empty() ? "" : " -L " + Quoted(label)) + " " + Quoted(card.image_), log);
        // exfat-fuse mounts only a block device.
        Run(losetup + " -f --show " + Quoted(card.image_), log);
        card.loop_ = Trimmed(ReadAll(log));
        card.Mount(mount + " " + Quoted(card.loop_) + " " + Quoted(card.folder_));
    } catch (...) {
        card.Cleanup();
        throw;
    }
    return card;
}

void MountedCard::Mount(const std::string& command) {
    if (::mkdir(folder_.c_str(), 0700) != 0) {
        throw std::runtime_error("MountedCard: " + folder_ + " cannot be made");
    }
    const MountTable table;  // open before the mount, so that its change is seen
    Run(command, home_ + "/log");
    mounted_ = true;
    AwaitMount(table.fd(), folder_, true);
}

void MountedCard::Unmount() {
    if (!mounted_) return;
    const MountTable table;
    // fusermount unmounts what fusefat mounted; the fuseblk mount is root's own.
    // Lazily, as a card is pulled whoever is using it: a program that looks
    // at the card's free space at that moment (the window's own watchers,
    // in tests that run meanwhile) would otherwise make the unmount fail.
    Run(loop_.empty() ? Tool("fusermount", "fuse") + " -u -z " + Quoted(folder_)
                      : Tool("umount", "mount") + " -l " + Quoted(folder_),
        home_ + "/log");
    mounted_ = false;
    AwaitMount(table.fd(), folder_, false);
}

void MountedCard::Cleanup() noexcept {
    try {
        Unmount();
    } catch (...) {
        // A card still mounted keeps its files: never remove through a mount.
        return;
    }
    if (!loop_.empty()) {
        // Detaches when the last user lets go, should exfat-fuse still hold it.
        std::system(("losetup -d " + Quoted(loop_) + " >/dev/null 2>&1").c_str());
    }
    for (const std::string& path : {folder_, image_, home_ + "/log"}) {
        if (!path.empty()) ::remove(path.c_str());
    }
    if (!home_.empty()) ::rmdir(home_.c_str());
}

MountedCard::MountedCard(MountedCard&& other) noexcept
    : home_(std::exchange(other.home_, "")),
      image_(std::exchange(other.image_, "")),
      folder_(std::exchange(other.folder_, "")),
      loop_(std::exchange(other.loop_, "")),
      mounted_(std::exchange(other.mounted_, false)) {}

MountedCard::~MountedCard() {
    if (!home_.empty()) Cleanup();
}

}  // namespace vantrel::testing
