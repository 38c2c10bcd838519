#include "platform/removable_cards.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "platform/posix/card_mount.h"
#include "platform/posix/mount_table.h"
#include "tests/support/mounted_card.h"

namespace vantrel {
namespace {

using testing::MountedCard;

const RemovableCard* Find(const std::vector<RemovableCard>& cards, const std::string& folder) {
    for (const RemovableCard& card : cards) {
        if (card.folder == folder) return &card;
    }
    return nullptr;
}

bool IsHex(const std::string& text) {
    return text.size() == 8 && text.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

TEST(ListRemovableCards, ListsFatAndExfatCardsMountedTogetherWithTheirLabelsButNotTheSystemDisk) {
    struct Row {
        bool exfat;
        std::string label;
        int megabytes;
        std::string expectedLabel;  // a card without one is named after its folder
    };
    const Row rows[] = {
        {false, "PLAYER", 16, "PLAYER"},    {true, "TRAVEL", 16, "TRAVEL"},
        {false, "MY CARD", 40, "MY CARD"},  {true, "Été 2024", 8, "Été 2024"},
        {false, "", 8, "card"},             {true, "", 8, "card"},
    };
    std::vector<MountedCard> mounted;
    for (const Row& row : rows) {
        mounted.push_back(row.exfat ? MountedCard::Exfat(row.label, row.megabytes)
                                    : MountedCard::Fat(row.label, row.megabytes));
    }

    const std::vector<RemovableCard> cards = ListRemovableCards();
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].label + (rows[i].exfat ? " on exFAT" : " on FAT"));
        const RemovableCard* card = Find(cards, mounted[i].folder());
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->label, rows[i].expectedLabel);
        EXPECT_EQ(card->fileSystem, rows[i].exfat ? "exFAT" : "FAT");
        EXPECT_TRUE(IsHex(card->serial)) << card->serial;
        ASSERT_TRUE(card->freeBytes.has_value());
        EXPECT_GT(*card->freeBytes, 0u);
        EXPECT_LT(*card->freeBytes, uint64_t(rows[i].megabytes) * 1024 * 1024);
    }
    EXPECT_EQ(Find(cards, "/"), nullptr);
    EXPECT_TRUE(std::is_sorted(cards.begin(), cards.end(), [](const auto& a, const auto& b) {
        return a.folder < b.folder;
    }));

    // Pulled, it is gone at once.
    mounted[0].Unmount();
    EXPECT_EQ(Find(ListRemovableCards(), mounted[0].folder()), nullptr);
}

TEST(CardMount, TellsCardsFromOtherMountsByTheirMountInfoLine) {
    const struct {
        std::string line;
        std::string volumeType;  // what udev or the boot sector says; fuseblk needs it
        std::string mountPoint;
        std::optional<std::string> card;
    } rows[] = {
        {"36 25 8:17 / /media/u/PLAYER rw,nosuid,nodev,relatime shared:1 - vfat /dev/sdb1 "
         "rw,uid=1000,gid=1000,fmask=0022", "", "/media/u/PLAYER", "FAT"},
        {"36 25 8:17 / /media/u/MY\\040CARD rw shared:1 master:2 - vfat /dev/sdb1 rw",
         "", "/media/u/MY CARD", "FAT"},
        {"36 25 8:17 / /media/u/a\\011b\\134c rw - msdos /dev/sdb1 rw", "", "/media/u/a\tb\\c", "FAT"},
        {"37 25 8:33 / /media/u/TRAVEL rw - exfat /dev/sdc1 rw", "", "/media/u/TRAVEL", "exFAT"},
        {"38 25 8:33 / /media/u/TRAVEL rw - fuseblk /dev/sdc1 rw,user_id=0", "exfat",
         "/media/u/TRAVEL", "exFAT"},
        {"38 25 8:33 / /media/u/OLD rw - fuseblk /dev/sdc1 rw,user_id=0", "vfat", "/media/u/OLD", "FAT"},
        {"39 25 8:49 / /media/u/Windows rw - fuseblk /dev/sdd1 rw,user_id=0", "ntfs",
         "/media/u/Windows", std::nullopt},
        {"39 25 8:49 / /media/u/Unknown rw - fuseblk /dev/sdd1 rw,user_id=0", "", "/media/u/Unknown",
         std::nullopt},
        {"45 27 0:40 / /tmp/f rw - fuse.fusefat fusefat rw,user_id=0", "", "/tmp/f", "FAT"},
        {"46 27 0:41 / /tmp/e rw - fuse.exfat /dev/sde1 rw,user_id=0", "", "/tmp/e", "exFAT"},
        {"24 1 8:1 / /boot/efi rw - vfat /dev/sda1 rw", "vfat", "/boot/efi", std::nullopt},
        {"24 1 8:1 / /boot rw - vfat /dev/sda1 rw", "vfat", "/boot", std::nullopt},
        {"24 1 8:1 / /efi rw - vfat /dev/sda1 rw", "vfat", "/efi", std::nullopt},
        {"24 1 8:1 / /efiles rw - vfat /dev/sda1 rw", "vfat", "/efiles", "FAT"},
        {"27 1 254:0 / / rw,relatime - ext4 /dev/vda rw", "ext4", "/", std::nullopt},
        {"27 1 8:2 / /media/u/DISK rw - ext4 /dev/sdb2 rw", "ext4", "/media/u/DISK", std::nullopt},
        {"50 25 8:17 /DCIM /srv/photos rw - vfat /dev/sdb1 rw", "", "/srv/photos", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const std::optional<MountEntry> mount = ParseMountInfoLine(row.line);
        ASSERT_TRUE(mount.has_value());
        EXPECT_EQ(mount->mountPoint, row.mountPoint);
        EXPECT_EQ(CardFileSystem(*mount, row.volumeType), row.card);
    }
    for (const char* line : {"", "36 25 8:17 / /media/u/CUT rw", "x y z / /a rw - vfat"}) {
        EXPECT_FALSE(ParseMountInfoLine(line).has_value()) << line;
    }
    const std::vector<MountEntry> both =
        ParseMountInfo("1 0 8:1 / /a rw - vfat /dev/sda1 rw\n\n2 1 0:40 / /b rw - ext4 /dev/x rw\n");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[1].major, 0u);
    EXPECT_EQ(both[1].minor, 40u);
    EXPECT_EQ(both[1].source, "/dev/x");
}

TEST(CardChangeWatcher, TellsWhenACardIsMountedAndWhenItIsUnmounted) {
    std::mutex mutex;
    std::condition_variable told;
    // Each notice lists the cards, as the program does; only a notice after a
    // change can see it.
    std::vector<std::vector<RemovableCard>> seen;
    CardChangeWatcher watcher([&] {
        std::vector<RemovableCard> cards = ListRemovableCards();
        std::lock_guard<std::mutex> lock(mutex);
        seen.push_back(std::move(cards));
        told.notify_all();
    });
    ASSERT_TRUE(watcher.watching());
    // The deadline only bounds a failure.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);

    MountedCard card = MountedCard::Fat("WATCHED", 8);
    std::unique_lock<std::mutex> lock(mutex);
    size_t plugged = 0;
    ASSERT_TRUE(told.wait_until(lock, deadline, [&] {
        for (; plugged < seen.size(); ++plugged) {
            if (Find(seen[plugged], card.folder())) return true;
        }
        return false;
    }));
    lock.unlock();

    card.Unmount();
    lock.lock();
    EXPECT_TRUE(told.wait_until(lock, deadline, [&] {
        for (size_t i = plugged + 1; i < seen.size(); ++i) {
            if (!Find(seen[i], card.folder())) return true;
        }
        return false;
    }));
}

TEST(CardHolding, PicksTheCardWhoseFolderHoldsThePathByWholeNames) {
    const std::vector<RemovableCard> cards = {
        {"/media/u/PLAY", "PLAY", "FAT", "", std::nullopt},
        {"/media/u/PLAYER", "PLAYER", "FAT", "", std::nullopt},
        {"/media/u/PLAYER/inner", "INNER", "exFAT", "", std::nullopt},
    };
    const struct {
        std::string path;
        std::optional<std::string> holder;
    } rows[] = {
        {"/media/u/PLAYER/movies/a.d3v", "PLAYER"},
        {"/media/u/PLAYER", "PLAYER"},
        {"/media/u/PLAYER/", "PLAYER"},
        {"/media/u/PLAY/a.d3v", "PLAY"},
        {"/media/u/PLAYERS/a.d3v", std::nullopt},
        {"/media/u/PLA", std::nullopt},
        {"/media/u/PLAYER/inner/a.d3v", "INNER"},
        {"/media/u/PLAYER/innermost/a.d3v", "PLAYER"},
        {"/media/u//PLAYER/./a.d3v", "PLAYER"},
        {"/home/u/a.d3v", std::nullopt},
        {"/", std::nullopt},
    };
    for (const auto& row : rows) {
        const std::optional<RemovableCard> card = CardHolding(row.path, cards);
        EXPECT_EQ(card ? std::optional(card->label) : std::nullopt, row.holder) << row.path;
    }
    EXPECT_FALSE(CardHolding("/media/u/PLAYER/a", {}).has_value());
}

}  // namespace
}  // namespace vantrel
