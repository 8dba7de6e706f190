// Drives and volumes as the drive selector and the removable-drive test read them.
#include "tests/contract/ContractSupport.h"

namespace contract {
namespace {

using namespace plat;

char16_t MissingLetter() {
    uint32_t mask = GetLogicalDrives();
    for (int i = 25; i >= 3; --i) {
        if (!(mask & (1u << i))) return static_cast<char16_t>(u'A' + i);
    }
    return 0;
}

TEST(ContractDrives, DriveCIsAFixedDriveWithAVolume) {
    EXPECT_TRUE(GetLogicalDrives() & (1u << 2));
    EXPECT_EQ(GetDriveTypeW(u"C:\\"), kDriveFixed);
    Wide label = u"unchanged", fileSystem;
    uint32_t flags = 0;
    ASSERT_TRUE(GetVolumeInformationW(u"C:\\", &label, &flags, &fileSystem));
    EXPECT_TRUE(flags & kFsCasePreservedNames);
    EXPECT_FALSE(fileSystem.empty());
    EXPECT_NE(label, u"unchanged");
    EXPECT_TRUE(GetVolumeInformationW(u"C:\\", nullptr, nullptr, nullptr));
}

TEST(ContractDrives, AMissingDriveHasNoRootAndNoVolume) {
    char16_t letter = MissingLetter();
    ASSERT_NE(letter, 0);
    Wide root = Wide(1, letter) + u":\\";
    EXPECT_EQ(GetDriveTypeW(root), kDriveNoRootDir);
    EXPECT_FALSE(GetVolumeInformationW(root, nullptr, nullptr, nullptr));
    EXPECT_EQ(CreateFileW(u"\\\\.\\" + Wide(1, letter) + u":", kGenericRead,
                          kFileShareRead | kFileShareWrite, kOpenExisting, 0),
              kInvalidHandle);
    EXPECT_FALSE(SetCurrentDirectoryW(root));
}

TEST(ContractDrives, ErrorModeSwitchReturnsThePreviousMode) {
    uint32_t original = SetErrorMode(kSemFailCriticalErrors);
    EXPECT_EQ(SetErrorMode(0), kSemFailCriticalErrors);
    EXPECT_EQ(SetErrorMode(original), 0u);
}

TEST(ContractDrives, LocalDrivesHaveNoNetworkConnection) {
    Wide remote = u"unchanged";
    EXPECT_EQ(WNetGetConnectionW(u"C:", &remote), kErrorNotConnected);
    EXPECT_EQ(remote, u"unchanged");
}

TEST(ContractDrives, StorageQueryDescribesTheVolume) {
    Handle volume = CreateFileW(u"\\\\.\\C:", kGenericRead, kFileShareRead | kFileShareWrite,
                                kOpenExisting, 0);
    ASSERT_NE(volume, kInvalidHandle) << GetLastError();
    unsigned char query[12] = {};  // StorageDeviceProperty, PropertyStandardQuery
    unsigned char buffer[548] = {};
    buffer[kDescriptorSizeOffset] = 548 & 0xFF;
    buffer[kDescriptorSizeOffset + 1] = 548 >> 8;
    uint32_t returned = 0;
    EXPECT_TRUE(DeviceIoControl(volume, kIoctlStorageQueryProperty, query, sizeof query, buffer,
                                sizeof buffer, &returned));
    EXPECT_GE(returned, kDescriptorBusTypeOffset + 4);
    EXPECT_EQ(buffer[kDescriptorRemovableMediaOffset], 0) << "a fixed disk";
    EXPECT_TRUE(CloseHandle(volume));
}

}  // namespace
}  // namespace contract
