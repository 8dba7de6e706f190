#include "install/Drives.h"

#include <cstring>

#include "install/InstUtils.h"
#include "platform/Handles.h"

namespace {

// STORAGE_DEVICE_DESCRIPTOR buffer size read by the storage query.
constexpr uint32_t kDescriptorBufferSize = 548;
// STORAGE_PROPERTY_QUERY: PropertyId StorageDeviceProperty (0), QueryType PropertyStandardQuery
// (0), one byte of additional parameters, padded to 12 bytes.
constexpr uint32_t kQuerySize = 12;

uint32_t ReadUint32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Lower case for a lower-case drive letter, upper case otherwise, as the selector shows letters.
Wide InLetterCase(char16_t letter, const Wide& text) {
    uint32_t flags = letter >= u'a' ? plat::kLcmapLowercase : plat::kLcmapUppercase;
    return plat::LCMapStringW(plat::kLocaleUserDefault, flags, text);
}

}  // namespace

Wide DriveOf(const Wide& path) {
    size_t n = path.size();
    if (n >= 2 && path[1] == u':') return path.substr(0, 2);
    if (n >= 2 && path[0] == u'\\' && path[1] == u'\\') {
        int found = 0;
        for (size_t i = 2; i < n; ++i) {
            if (path[i] == u'\\' && ++found == 2) return path.substr(0, i);
        }
        return path;
    }
    return Wide();
}

uint32_t DriveTypeOf(const Wide& path) {
    Wide root = DriveOf(path);
    // Without a drive part the platform would answer for the current drive; such a path is no
    // drive at all.
    if (root.empty()) return plat::kDriveNoRootDir;
    AppendBackslash(root);
    return plat::GetDriveTypeW(root);
}

bool IsRemovableDrive(const Wide& path) {
    uint32_t type = DriveTypeOf(path);
    if (type == plat::kDriveRemovable) return true;
    if (type != plat::kDriveFixed) return false;

    plat::TFileHandle volume(plat::CreateFileW(u"\\\\.\\" + DriveOf(path), plat::kGenericRead,
                                               plat::kFileShareRead | plat::kFileShareWrite,
                                               plat::kOpenExisting, 0));
    if (!volume.Valid()) return false;
    uint8_t query[kQuerySize] = {};
    uint8_t descriptor[kDescriptorBufferSize] = {};
    uint32_t size = kDescriptorBufferSize;
    std::memcpy(descriptor + plat::kDescriptorSizeOffset, &size, sizeof size);
    uint32_t returned = 0;
    if (!plat::DeviceIoControl(volume.Get(), plat::kIoctlStorageQueryProperty, query, kQuerySize,
                               descriptor, kDescriptorBufferSize, &returned))
        return false;
    uint32_t bus = ReadUint32(descriptor + plat::kDescriptorBusTypeOffset);
    return bus == plat::kBusType1394 || bus == plat::kBusTypeUsb ||
           descriptor[plat::kDescriptorRemovableMediaOffset] != 0;
}

Wide VolumeLabelOf(char16_t letter) {
    // An empty card reader or optical drive must fail quietly instead of asking for a disk.
    Wide label;
    {
        plat::TErrorModeGuard quiet(plat::kSemFailCriticalErrors);
        Wide root = Wide(1, letter) + u":\\";
        if (!plat::GetVolumeInformationW(root, &label, nullptr, nullptr)) label.clear();
    }
    size_t nul = label.find(u'\0');
    if (nul != Wide::npos) label.resize(nul);
    label = InLetterCase(letter, label);
    if (label.empty()) return Wide();
    return u"[" + label + u"]";
}

Wide NetworkNameOf(char16_t letter) {
    Wide local =
        plat::LCMapStringW(plat::kLocaleUserDefault, plat::kLcmapUppercase, Wide(1, letter)) + u":";
    Wide remote;
    if (plat::WNetGetConnectionW(local, &remote) != 0) return VolumeLabelOf(letter);
    size_t nul = remote.find(u'\0');
    if (nul != Wide::npos) remote.resize(nul);
    return InLetterCase(letter, remote);
}
