// Drives and volumes of the fake, answered from its drive table.
#include <cstring>

#include "platform/fake/state.h"

namespace plat {

using namespace fake::detail;

namespace {

constexpr uint32_t kErrorInvalidFunction = 1;
constexpr uint32_t kErrorNotSupported = 50;
constexpr uint32_t kErrorDirNotRoot = 144;
constexpr uint32_t kDescriptorSize = 40;  // STORAGE_DEVICE_DESCRIPTOR without its strings
constexpr uint8_t kFileDeviceDisk = 7;

const fake::DriveInfo* DriveAt(char16_t drive) {
    auto it = M().drives.find(drive);
    return it == M().drives.end() ? nullptr : &it->second;
}

void Put32(unsigned char* bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t Get32(const void* bytes, size_t offset) {
    const unsigned char* b = static_cast<const unsigned char*>(bytes) + offset;
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

}  // namespace

uint32_t GetLogicalDrives() {
    uint32_t mask = 0;
    for (const auto& entry : M().drives) mask |= 1u << (entry.first - u'A');
    return mask;
}

uint32_t GetDriveTypeW(const Wide& root) {
    Path p = ParsePath(root.empty() ? M().currentFolder : root);
    if (!p.valid || p.volume) return kDriveNoRootDir;
    const fake::DriveInfo* drive = DriveAt(p.drive);
    if (!drive) return kDriveNoRootDir;
    if (!p.IsRoot() && drive->mediumPresent) {
        const Node* node = FindNode(p.Key());
        if (!node || !node->folder) return kDriveNoRootDir;
    }
    return drive->type;
}

bool GetVolumeInformationW(const Wide& root, Wide* label, uint32_t* fileSystemFlags,
                           Wide* fileSystemName) {
    Path p = ParsePath(root);
    if (!p.valid || p.volume) return Fail(kErrorPathNotFound), false;
    const fake::DriveInfo* drive = DriveAt(p.drive);
    if (!drive) return Fail(kErrorPathNotFound), false;
    if (!p.IsRoot()) return Fail(kErrorDirNotRoot), false;
    if (!drive->mediumPresent) return Fail(kErrorNotReady), false;
    if (label) *label = drive->label;
    if (fileSystemFlags) *fileSystemFlags = drive->fsFlags;
    if (fileSystemName) *fileSystemName = drive->fileSystem;
    return true;
}

uint32_t SetErrorMode(uint32_t mode) {
    uint32_t previous = M().errorMode;
    M().errorMode = mode;
    return previous;
}

bool DeviceIoControl(Handle device, uint32_t code, const void* in, uint32_t inSize, void* out,
                     uint32_t outSize, uint32_t* returned) {
    if (returned) *returned = 0;
    auto it = M().handles.find(device);
    if (it == M().handles.end() || it->second.kind == HandleObject::kSearch) {
        return Fail(kErrorInvalidHandle), false;
    }
    if (it->second.kind != HandleObject::kVolume || code != kIoctlStorageQueryProperty) {
        return Fail(kErrorInvalidFunction), false;
    }
    const fake::DriveInfo* drive = DriveAt(it->second.drive);
    if (!drive) return Fail(1167), false;  // ERROR_DEVICE_NOT_CONNECTED: unplugged meanwhile
    if (!in || inSize < 8) return Fail(kErrorInvalidParameter), false;
    uint32_t propertyId = Get32(in, 0), queryType = Get32(in, 4);
    if (propertyId != 0) return Fail(kErrorNotSupported), false;  // only StorageDeviceProperty
    if (queryType == 1) return true;                              // PropertyExistsQuery
    if (queryType != 0) return Fail(kErrorInvalidParameter), false;
    if (!out || outSize < 8) return Fail(kErrorInvalidParameter), false;

    unsigned char descriptor[kDescriptorSize] = {};
    Put32(descriptor, 0, kDescriptorSize);                 // Version
    Put32(descriptor, kDescriptorSizeOffset, kDescriptorSize);
    descriptor[8] = kFileDeviceDisk;                       // DeviceType
    descriptor[kDescriptorRemovableMediaOffset] = drive->removableMedia ? 1 : 0;
    Put32(descriptor, kDescriptorBusTypeOffset, drive->busType);
    uint32_t done = outSize < kDescriptorSize ? outSize : kDescriptorSize;
    std::memcpy(out, descriptor, done);
    if (returned) *returned = done;
    return true;
}

uint32_t WNetGetConnectionW(const Wide& localName, Wide* remoteName) {
    bool wellFormed = localName.size() == 2 && localName[1] == u':' &&
                      UpperUnit(localName[0]) >= u'A' && UpperUnit(localName[0]) <= u'Z';
    const fake::DriveInfo* drive = wellFormed ? DriveAt(UpperUnit(localName[0])) : nullptr;
    uint32_t result = kErrorSuccess;
    if (!drive) result = kErrorBadDevice;
    else if (drive->networkName.empty()) result = kErrorNotConnected;
    else if (remoteName) *remoteName = drive->networkName;
    if (result) Fail(result);
    return result;
}

}  // namespace plat

namespace fake {

using namespace detail;

void AddDrive(char letter, const DriveInfo& info) {
    char16_t drive = UpperUnit(static_cast<char16_t>(letter));
    RemoveDrive(letter);
    M().drives[drive] = info;
    Path root;
    root.valid = true;
    root.drive = drive;
    MakeFolderNode(root);
}

void RemoveDrive(char letter) {
    char16_t drive = UpperUnit(static_cast<char16_t>(letter));
    M().drives.erase(drive);
    auto& nodes = M().nodes;
    Wide key = DriveKey(drive);
    nodes.erase(key);
    Wide prefix = key + u"\\";
    auto it = nodes.lower_bound(prefix);
    while (it != nodes.end() && it->first.compare(0, prefix.size(), prefix) == 0) {
        it = nodes.erase(it);
    }
}

DriveInfo* Drive(char letter) {
    auto it = M().drives.find(UpperUnit(static_cast<char16_t>(letter)));
    return it == M().drives.end() ? nullptr : &it->second;
}

uint32_t ErrorMode() { return M().errorMode; }

}  // namespace fake
