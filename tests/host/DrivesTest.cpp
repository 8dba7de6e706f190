// Drive classification and description on the fake machine's drive table.
#include <gtest/gtest.h>

#include "install/Drives.h"
#include "platform/fake/fake.h"

namespace {

class Drives : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    static fake::DriveInfo Fixed(uint32_t bus, const plat::Wide& label = u"") {
        fake::DriveInfo d;
        d.type = plat::kDriveFixed;
        d.busType = bus;
        d.label = label;
        return d;
    }
};

TEST_F(Drives, DriveOfPaths) {
    EXPECT_EQ(u"C:", DriveOf(u"C:\\Program Files"));
    EXPECT_EQ(u"c:", DriveOf(u"c:"));
    EXPECT_EQ(u"\\\\srv\\share", DriveOf(u"\\\\srv\\share\\dir"));
    EXPECT_EQ(u"\\\\srv\\share", DriveOf(u"\\\\srv\\share"));
    EXPECT_EQ(u"\\\\srv", DriveOf(u"\\\\srv"));
    EXPECT_EQ(u"", DriveOf(u"dir\\sub"));
    EXPECT_EQ(u"", DriveOf(u"C"));
    EXPECT_EQ(u"", DriveOf(u""));
}

TEST_F(Drives, RemovableAsThePlatformOrTheBusSaysIt) {
    fake::DriveInfo card;
    card.type = plat::kDriveRemovable;
    card.mediumPresent = false;
    card.canOpenVolume = false;
    fake::AddDrive('E', card);
    EXPECT_TRUE(IsRemovableDrive(u"E:\\Photos")) << "card reader, without any device query";

    fake::AddDrive('F', Fixed(plat::kBusTypeUsb));
    fake::AddDrive('G', Fixed(plat::kBusType1394));
    fake::AddDrive('H', Fixed(plat::kBusTypeSata));
    fake::AddDrive('I', Fixed(plat::kBusTypeAta));
    EXPECT_TRUE(IsRemovableDrive(u"F:\\Tessaron"));
    EXPECT_TRUE(IsRemovableDrive(u"g:\\"));
    EXPECT_FALSE(IsRemovableDrive(u"H:\\"));
    EXPECT_FALSE(IsRemovableDrive(u"I:\\"));
    EXPECT_FALSE(IsRemovableDrive(u"C:\\Program Files"));

    fake::DriveInfo media = Fixed(plat::kBusTypeSata);
    media.removableMedia = true;
    fake::AddDrive('J', media);
    EXPECT_TRUE(IsRemovableDrive(u"J:\\"));

    fake::DriveInfo locked = Fixed(plat::kBusTypeUsb);
    locked.canOpenVolume = false;
    fake::AddDrive('K', locked);
    EXPECT_FALSE(IsRemovableDrive(u"K:\\")) << "the volume cannot be opened without rights";
    EXPECT_EQ(0, fake::OpenHandleCount());
}

TEST_F(Drives, NetworkOpticalRamAndUncAreNeverRemovable) {
    fake::DriveInfo net = Fixed(plat::kBusTypeUsb);
    net.type = plat::kDriveRemote;
    net.networkName = u"\\\\Server\\Share";
    fake::AddDrive('Z', net);
    fake::DriveInfo cd = Fixed(plat::kBusTypeUsb);
    cd.type = plat::kDriveCdrom;
    fake::AddDrive('D', cd);
    fake::DriveInfo ram = Fixed(plat::kBusTypeUsb);
    ram.type = plat::kDriveRamdisk;
    fake::AddDrive('R', ram);
    EXPECT_FALSE(IsRemovableDrive(u"Z:\\"));
    EXPECT_FALSE(IsRemovableDrive(u"D:\\"));
    EXPECT_FALSE(IsRemovableDrive(u"R:\\"));
    EXPECT_FALSE(IsRemovableDrive(u"\\\\srv\\share\\dir"));
    EXPECT_FALSE(IsRemovableDrive(u"relative\\dir"));
    EXPECT_NE(plat::kDriveRemovable, DriveTypeOf(u"relative\\dir"));
    EXPECT_NE(plat::kDriveFixed, DriveTypeOf(u"relative\\dir"));
}

TEST_F(Drives, LabelsInTheLettersCase) {
    fake::Drive('C')->label = u"System";
    EXPECT_EQ(u"[system]", VolumeLabelOf(u'c'));
    EXPECT_EQ(u"[SYSTEM]", VolumeLabelOf(u'C'));
    fake::Drive('C')->label = u"";
    EXPECT_EQ(u"", VolumeLabelOf(u'c'));
    EXPECT_EQ(u"", VolumeLabelOf(u'q')) << "missing drive";
}

TEST_F(Drives, EmptyReaderGivesNoLabelAndRestoresTheErrorMode) {
    fake::DriveInfo card;
    card.type = plat::kDriveRemovable;
    card.label = u"CARD";
    card.mediumPresent = false;
    fake::AddDrive('E', card);
    plat::SetErrorMode(0x8000);
    EXPECT_EQ(u"", VolumeLabelOf(u'e'));
    EXPECT_EQ(0x8000u, fake::ErrorMode());
    fake::Drive('E')->mediumPresent = true;
    EXPECT_EQ(u"[card]", VolumeLabelOf(u'e'));
    EXPECT_EQ(0x8000u, fake::ErrorMode());
}

TEST_F(Drives, NetworkNamesInTheLettersCaseElseTheLabel) {
    fake::DriveInfo net;
    net.type = plat::kDriveRemote;
    net.networkName = u"\\\\Server\\Share";
    net.label = u"Data";
    fake::AddDrive('Z', net);
    EXPECT_EQ(u"\\\\server\\share", NetworkNameOf(u'z'));
    EXPECT_EQ(u"\\\\SERVER\\SHARE", NetworkNameOf(u'Z'));
    fake::Drive('C')->label = u"Local";
    EXPECT_EQ(u"[local]", NetworkNameOf(u'c'));
}

}  // namespace
