#include "platform/posix/udev_volume.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(UdevVolume, ReadsTheFileSystemLabelAndUuidFromARecord) {
    const struct {
        std::string record;
        std::optional<std::string> type;
        std::string label;
        std::string uuid;
    } rows[] = {
        {"S:disk/by-label/MY\\x20CARD\nW:1\nE:ID_FS_LABEL=MY_CARD\nE:ID_FS_LABEL_ENC=MY\\x20CARD\n"
         "E:ID_FS_UUID=51AC-7670\nE:ID_FS_TYPE=vfat\nE:ID_FS_USAGE=filesystem\n",
         "vfat", "MY CARD", "51AC-7670"},
        {"E:ID_FS_TYPE=exfat\nE:ID_FS_LABEL_ENC=\\xc3\\x89t\\xc3\\xa9\\x202024\nE:ID_FS_UUID=6BF7-651A",
         "exfat", "Été 2024", "6BF7-651A"},
        {"E:ID_FS_TYPE=vfat\nE:ID_FS_LABEL=OLD\n", "vfat", "OLD", ""},
        {"E:ID_FS_TYPE=vfat\nE:ID_FS_LABEL_ENC=TRAIL\\x20\\x20\nE:ID_FS_UUID=1-2", "vfat", "TRAIL", "1-2"},
        {"E:ID_FS_TYPE=ntfs\nE:ID_FS_LABEL_ENC=Windows\n", "ntfs", "Windows", ""},
        {"E:ID_FS_TYPE=vfat\nE:ID_FS_LABEL_ENC=a\\x2\n", "vfat", "a\\x2", ""},  // cut escape kept
        {"S:disk/by-id/usb-reader\nE:ID_BUS=usb\n", std::nullopt, "", ""},  // a reader, no card
        {"", std::nullopt, "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.record);
        const std::optional<UdevVolume> volume = ParseUdevVolume(row.record);
        ASSERT_EQ(volume ? std::optional(volume->type) : std::nullopt, row.type);
        if (!volume) continue;
        EXPECT_EQ(volume->label, row.label);
        EXPECT_EQ(volume->uuid, row.uuid);
    }
}

}  // namespace
}  // namespace vantrel
