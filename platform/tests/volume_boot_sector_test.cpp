#include "platform/posix/volume_boot_sector.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace vantrel {
namespace {

using testing::Quoted;
using testing::ReadFile;
using testing::TempDir;

// Volumes made by the real mkfs tools, read back as the card list reads a
// device it may open.
TEST(VolumeBootSector, ReadsWhatMkfsWroteOnFatAndExfat) {
    const struct {
        int megabytes;
        std::string make;  // IMAGE stands for the image's path
        std::optional<VolumeIdentity> expected;
    } rows[] = {
        {8, "mkfs.vfat -n PLAYER -i 51AC7670 IMAGE", VolumeIdentity{"FAT", "PLAYER", "51AC7670"}},
        {64, "mkfs.vfat -F 16 -n 'MY CARD' -i 0000BEEF IMAGE", VolumeIdentity{"FAT", "MY CARD", "0000BEEF"}},
        {64, "mkfs.vfat -F 32 -n TRAVEL -i 12345678 IMAGE", VolumeIdentity{"FAT", "TRAVEL", "12345678"}},
        {8, "mkfs.vfat -i CAFE0001 IMAGE", VolumeIdentity{"FAT", "", "CAFE0001"}},
        {64, "mkfs.vfat -F 32 -i CAFE0002 IMAGE", VolumeIdentity{"FAT", "", "CAFE0002"}},
        {8, "mkfs.exfat -L TRAVEL IMAGE && tune.exfat -I 0x1234ABCD IMAGE",
         VolumeIdentity{"exFAT", "TRAVEL", "1234ABCD"}},
        {8, "mkfs.exfat -L 'Été 2024 🎬' IMAGE && tune.exfat -I 0x0BADF00D IMAGE",
         VolumeIdentity{"exFAT", "Été 2024 🎬", "0BADF00D"}},
        {8, "mkfs.exfat -c 64K -L 'Big cluster' IMAGE && tune.exfat -I 0x1 IMAGE",
         VolumeIdentity{"exFAT", "Big cluster", "00000001"}},
        {8, "mkfs.exfat IMAGE && tune.exfat -I 0x2 IMAGE", VolumeIdentity{"exFAT", "", "00000002"}},
        {8, "mke2fs -q -t ext4 -L PLAYER IMAGE", std::nullopt},
        {8, "true", std::nullopt},  // nothing written: zeros
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.make);
        TempDir folder;
        const std::string image = folder.File("card.img");
        ASSERT_EQ(std::system(("truncate -s " + std::to_string(row.megabytes) + "M " + Quoted(image))
                                  .c_str()), 0);
        const std::string make = std::regex_replace(row.make, std::regex("IMAGE"), Quoted(image));
        ASSERT_EQ(std::system(("(" + make + ") >/dev/null 2>&1").c_str()), 0) << "is the tool installed?";

        const std::string volume = ReadFile(image);
        const std::string_view sector = std::string_view(volume).substr(0, 512);
        std::optional<VolumeIdentity> identity = ReadBootSector(sector);
        if (const auto root = ExfatRootFolder(sector)) {
            ASSERT_TRUE(identity.has_value());
            identity->label = ExfatVolumeLabel(std::string_view(volume).substr(root->offset, root->size));
        }
        ASSERT_EQ(identity.has_value(), row.expected.has_value());
        if (!identity) continue;
        EXPECT_EQ(identity->fileSystem, row.expected->fileSystem);
        EXPECT_EQ(identity->label, row.expected->label);
        EXPECT_EQ(identity->serial, row.expected->serial);
    }
}

TEST(VolumeBootSector, RefusesWhatIsCutOrNoFatSector) {
    std::string sector(512, '\0');
    sector[510] = '\x55';
    sector[511] = '\xAA';
    EXPECT_FALSE(ReadBootSector(sector).has_value());  // signed, but no FAT's fields
    EXPECT_FALSE(ReadBootSector(sector.substr(0, 511)).has_value());
    std::string ntfs = sector;
    ntfs.replace(0, 11, "\xEB\x52\x90NTFS    ");
    ntfs[11] = 0;  // 512 bytes a sector, 8 a cluster, no reserved sectors or FATs
    ntfs[12] = 2;
    ntfs[13] = 8;
    EXPECT_FALSE(ReadBootSector(ntfs).has_value());
    EXPECT_FALSE(ExfatRootFolder(ntfs).has_value());
    EXPECT_EQ(ExfatVolumeLabel(std::string(64, '\0')), "");
    EXPECT_EQ(ExfatVolumeLabel(std::string(10, '\x83')), "");  // shorter than an entry
}

}  // namespace
}  // namespace vantrel
