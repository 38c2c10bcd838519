#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// A memory card as the player takes it: a plugged-in FAT or exFAT volume,
// never one of the system's own.
struct RemovableCard {
    std::string folder;      // where its files go: its mount point, or its drive's root ("E:\")
    std::string label;       // its volume label; its folder's own name when it has none
    std::string fileSystem;  // "FAT" or "exFAT"
    std::string serial;      // its volume serial number, eight upper-case hex digits
                             // ("51AC7670", udev's "51AC-7670" without its dash); empty when unknown
    std::optional<uint64_t> freeBytes;  // free to this program; none when unknown
};

// The cards plugged in now, in a steady order (by folder). Reads the system's
// tables afresh on each call; costs a few milliseconds.
std::vector<RemovableCard> ListRemovableCards();

// The card that holds `path` (a file or folder on it), if any.
std::optional<RemovableCard> CardHolding(const std::string& path,
                                         const std::vector<RemovableCard>& cards);

// Tells, on a thread of its own, that cards may have been plugged in or
// pulled: soon after any file system is mounted or unmounted. The listener
// then asks ListRemovableCards. It may also be told when nothing changed.
class CardChangeWatcher {
public:
    // `changed` runs on the watcher's thread, never after the destructor has
    // returned, and must not wait on the thread that destroys the watcher.
    explicit CardChangeWatcher(std::function<void()> changed);
    ~CardChangeWatcher();  // stops and joins the watcher's thread
    CardChangeWatcher(const CardChangeWatcher&) = delete;
    CardChangeWatcher& operator=(const CardChangeWatcher&) = delete;

    // Whether the watcher runs; false when the system refused its thread or
    // its notices, and then nothing is ever told.
    bool watching() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace vantrel
