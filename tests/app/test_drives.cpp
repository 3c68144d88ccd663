#include "app/Drives.h"

#include <gtest/gtest.h>

using vexa::app::driveOfPath;
using vexa::app::drivesFromMountTable;

TEST(Drives, OnlyVolumesThatHoldFilesAreListed) {
    const QString table = "overlay / overlay rw,relatime 0 0\n"
                          "proc /proc proc rw 0 0\n"
                          "sysfs /sys sysfs rw 0 0\n"
                          "tmpfs /dev tmpfs rw 0 0\n"
                          "devpts /dev/pts devpts rw 0 0\n"
                          "/dev/sda2 /home ext4 rw 0 0\n"
                          "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
                          "/dev/sdc1 /run/media/ann/CAMERA exfat rw 0 0\n"
                          "tmpfs /run tmpfs rw 0 0\n"
                          "//nas/share /mnt/covers cifs rw 0 0\n"
                          "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
                          "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                          "/dev/sda1 /boot/efi vfat rw 0 0\n";
    EXPECT_EQ(drivesFromMountTable(table), QStringList({"/", "/home", "/media/usb stick",
                                                        "/mnt/covers", "/run/media/ann/CAMERA"}));
}

TEST(Drives, RootIsAlwaysThereAndListedOnce) {
    EXPECT_EQ(drivesFromMountTable(""), QStringList{"/"});
    EXPECT_EQ(drivesFromMountTable("/dev/sda1 / ext4 rw 0 0\n"), QStringList{"/"});
}

TEST(Drives, PathBelongsToTheLongestMountPointThatHoldsIt) {
    const QStringList drives{"/", "/media/usb", "/media/usb2"};
    EXPECT_EQ(driveOfPath(drives, "/media/usb/covers"), "/media/usb");
    EXPECT_EQ(driveOfPath(drives, "/media/usb2"), "/media/usb2");
    EXPECT_EQ(driveOfPath(drives, "/media/usb22/x"), "/");
    EXPECT_EQ(driveOfPath(drives, "/home/ann/"), "/");
    EXPECT_EQ(driveOfPath({"/media/usb"}, "/home"), "");
}
