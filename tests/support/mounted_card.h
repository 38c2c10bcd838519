// A real memory card for the tests of the card list: a FAT or exFAT image in
// a temporary folder of its own, mounted through FUSE as a desktop mounts a
// card. Needs root, /dev/fuse and, for exFAT, loop devices; where any of them
// or a tool is missing it throws, saying which, so the test fails rather than
// passing unseen.
#pragma once

#include <string>

namespace vantrel::testing {

class MountedCard {
public:
    // An empty label makes a card without one.
    // An image made by mkfs.vfat -n LABEL (dosfstools), mounted by fusefat
    // with the image as the mount's source. mkfs.vfat picks FAT12, 16 or 32
    // by the size.
    static MountedCard Fat(std::string label, int megabytes);
    // An image made by mkfs.exfat -L LABEL (exfatprogs), attached to a loop
    // device and mounted by mount.exfat-fuse, which makes a fuseblk mount.
    static MountedCard Exfat(std::string label, int megabytes);

    MountedCard(MountedCard&& other) noexcept;
    MountedCard& operator=(MountedCard&&) = delete;
    ~MountedCard();  // unmounts if still mounted and removes every file it made

    // Its mount point, empty in its own folder; named unlike the label, so a
    // label read from the folder's name shows.
    const std::string& folder() const { return folder_; }
    const std::string& image() const { return image_; }
    // Unmounts now, as pulling the card would; throws when that fails. The
    // mount is gone from the mount table once it returns.
    void Unmount();

private:
    MountedCard() = default;
    void Mount(const std::string& command);
    void Cleanup() noexcept;

    std::string home_;    // the temporary folder that holds the rest
    std::string image_;
    std::string folder_;
    std::string loop_;    // the exFAT image's loop device
    bool mounted_ = false;
};

}  // namespace vantrel::testing
