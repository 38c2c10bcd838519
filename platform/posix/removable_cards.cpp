#include "platform/removable_cards.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <map>
#include <system_error>
#include <thread>

#include "platform/free_space.h"
#include "platform/posix/card_mount.h"
#include "platform/posix/mount_table.h"
#include "platform/posix/udev_volume.h"
#include "platform/posix/volume_boot_sector.h"

namespace vantrel {
namespace {

constexpr const char* kMountTable = "/proc/self/mountinfo";

// From where the file is now to its end; a file in /proc has no size to ask.
std::string ReadRest(int fd) {
    std::string text;
    char buffer[16384];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    return text;
}

std::string ReadWhole(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return "";
    std::string text = ReadRest(fd);
    ::close(fd);
    return text;
}

// What a mount's volume says of itself, as udev names file systems.
struct Volume {
    std::string type;
    std::string label;
    std::string serial;
};

std::optional<Volume> FromUdev(const MountEntry& mount) {
    unsigned major = mount.major;
    unsigned minor = mount.minor;
    struct stat source {};
    if (::stat(mount.source.c_str(), &source) == 0 && S_ISBLK(source.st_mode)) {
        major = major(source.st_rdev);
        minor = minor(source.st_rdev);
    }
    if (major == 0) return std::nullopt;  // no device: a plain FUSE mount, or a virtual one
    const auto volume = ParseUdevVolume(
        ReadWhole("/run/udev/data/b" + std::to_string(major) + ":" + std::to_string(minor)));
    if (!volume) return std::nullopt;
    // "51AC-7670" as the boot sector's and Windows' serials read: 51AC7670.
    std::string serial;
    for (char letter : volume->uuid) {
        if (letter != '-') serial += static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    }
    return Volume{volume->type, volume->label, serial};
}

std::string ReadAt(int fd, uint64_t offset, uint64_t size) {
    std::string bytes(size, '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

// Needs the right to read the device or image, which root or an image's
// owner has and a desktop user mostly has not.
std::optional<Volume> FromBootSector(const MountEntry& mount) {
    struct stat source {};
    if (mount.source.empty() || mount.source[0] != '/' || ::stat(mount.source.c_str(), &source) != 0 ||
        !(S_ISBLK(source.st_mode) || S_ISREG(source.st_mode))) {
        return std::nullopt;  // fusefat's own name, or a pipe whose reading would take its data
    }
    const int fd = ::open(mount.source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    const std::string sector = ReadAt(fd, 0, 512);
    std::optional<Volume> volume;
    if (const auto identity = ReadBootSector(sector)) {
        volume = Volume{identity->fileSystem == "exFAT" ? "exfat" : "vfat", identity->label,
                        identity->serial};
        if (const auto root = ExfatRootFolder(sector)) {
            volume->label = ExfatVolumeLabel(ReadAt(fd, root->offset, root->size));
        }
    }
    ::close(fd);
    return volume;
}

std::string LastComponent(const std::string& folder) {
    return std::filesystem::path(folder).filename().string();
}

std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> components;
    for (const auto& component : std::filesystem::path(path).lexically_normal()) {
        if (!component.empty() && component != ".") components.push_back(component.string());
    }
    return components;
}

}  // namespace

std::vector<RemovableCard> ListRemovableCards() {
    // A later mount on the same folder hides the earlier one.
    std::map<std::string, MountEntry> visible;
    for (MountEntry& mount : ParseMountInfo(ReadWhole(kMountTable))) {
        visible.insert_or_assign(mount.mountPoint, std::move(mount));
    }
    std::vector<RemovableCard> cards;
    for (const auto& [folder, mount] : visible) {
        if (!MayBeCard(mount)) continue;
        std::optional<Volume> volume = FromUdev(mount);
        if (!volume) volume = FromBootSector(mount);
        const auto fileSystem = CardFileSystem(mount, volume ? volume->type : "");
        if (!fileSystem) continue;
        RemovableCard card;
        card.folder = folder;
        card.label = volume && !volume->label.empty() ? volume->label : LastComponent(folder);
        card.fileSystem = *fileSystem;
        card.serial = volume ? volume->serial : "";
        card.freeBytes = FileSystemFreeSpace().FreeBytes(folder);
        cards.push_back(std::move(card));
    }
    return cards;  // in the map's order: by folder
}

std::optional<RemovableCard> CardHolding(const std::string& path,
                                         const std::vector<RemovableCard>& cards) {
    // By whole components, so /media/u/PLAY never holds /media/u/PLAYER/a.
    const std::vector<std::string> inside = Components(path);
    const RemovableCard* holder = nullptr;
    size_t deepest = 0;
    for (const RemovableCard& card : cards) {
        const std::vector<std::string> folder = Components(card.folder);
        if (folder.size() <= inside.size() && (holder == nullptr || folder.size() > deepest) &&
            std::equal(folder.begin(), folder.end(), inside.begin())) {
            holder = &card;
            deepest = folder.size();
        }
    }
    if (holder == nullptr) return std::nullopt;
    return *holder;
}

// The kernel marks the mount table's open file with POLLPRI and POLLERR
// whenever a file system is mounted or unmounted in this process's namespace.
struct CardChangeWatcher::State {
    std::function<void()> changed;
    int table = -1;
    int stop = -1;  // an eventfd the destructor writes
    std::thread thread;

    void Run() {
        for (;;) {
            pollfd watched[2] = {{table, POLLPRI, 0}, {stop, POLLIN, 0}};
            if (::poll(watched, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (watched[1].revents != 0) return;
            if (watched[0].revents & (POLLPRI | POLLERR)) {
                // Reading the table through marks this change as seen.
                ::lseek(table, 0, SEEK_SET);
                ReadRest(table);
                changed();
            }
        }
    }
};

CardChangeWatcher::CardChangeWatcher(std::function<void()> changed)
    : state_(std::make_unique<State>()) {
    state_->changed = std::move(changed);
    // Opened here rather than on the thread: a mount made once the
    // constructor has returned is always told.
    state_->table = ::open(kMountTable, O_RDONLY | O_CLOEXEC);
    state_->stop = ::eventfd(0, EFD_CLOEXEC);
    if (state_->table < 0 || state_->stop < 0) return;
    try {
        state_->thread = std::thread([state = state_.get()] { state->Run(); });
    } catch (const std::system_error&) {
        // No thread: not watching, as watching() says.
    }
}

CardChangeWatcher::~CardChangeWatcher() {
    if (state_->thread.joinable()) {
        const uint64_t one = 1;
        while (::write(state_->stop, &one, sizeof one) < 0 && errno == EINTR) {
        }
        state_->thread.join();
    }
    if (state_->table >= 0) ::close(state_->table);
    if (state_->stop >= 0) ::close(state_->stop);
}

bool CardChangeWatcher::watching() const { return state_->thread.joinable(); }

}  // namespace vantrel
