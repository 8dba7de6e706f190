#include "tools/packer/PeResources.h"

#include <algorithm>

namespace {

// The file as a bounded view; every read says whether it stayed inside.
struct Bytes {
    const uint8_t* data;
    size_t size;

    bool Has(uint64_t offset, uint64_t length) const {
        return offset <= size && length <= size - offset;
    }
    uint32_t U16(uint64_t at) const { return data[at] | data[at + 1] << 8; }
    uint32_t U32(uint64_t at) const {
        return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | uint32_t{data[at + 3]} << 24;
    }
};

struct Section {
    uint32_t address, rawSize, rawOffset;
};

PeResource Fail(PeLookup status, const std::string& problem) {
    PeResource r;
    r.status = status;
    r.problem = problem;
    return r;
}

// Maps a span of the loaded image to its offset in the file; false when no section stores all
// of it within the file.
bool FileOffsetOf(const Bytes& file, uint64_t sectionTable, uint32_t sections, uint64_t rva,
                  uint64_t length, uint64_t* offset, uint64_t* sectionEnd) {
    for (uint32_t i = 0; i < sections; ++i) {
        uint64_t at = sectionTable + 40ull * i;
        Section s{file.U32(at + 12), file.U32(at + 16), file.U32(at + 20)};
        if (rva < s.address || rva - s.address >= s.rawSize) continue;
        uint64_t into = rva - s.address;
        if (length > s.rawSize - into) return false;
        if (!file.Has(uint64_t{s.rawOffset} + into, length)) return false;
        *offset = s.rawOffset + into;
        *sectionEnd = std::min<uint64_t>(uint64_t{s.rawOffset} + s.rawSize, file.size);
        return true;
    }
    return false;
}

// The resource directory: offsets inside it are relative to its start and must stay below end.
struct Directory {
    const Bytes& file;
    uint64_t base, end;

    bool Has(uint64_t offset, uint64_t length) const {
        return offset <= end - base && length <= end - base - offset;
    }
    bool KeyMatches(uint32_t nameOrId, const PeResourceKey& key, bool* sound) const {
        if (!(nameOrId & 0x80000000u)) return key.name.empty() && nameOrId == key.id;
        if (key.name.empty()) return false;
        uint64_t at = nameOrId & 0x7FFFFFFFu;
        if (!Has(at, 2)) {
            *sound = false;
            return false;
        }
        uint32_t length = file.U16(base + at);
        if (!Has(at + 2, 2ull * length)) {
            *sound = false;
            return false;
        }
        if (length != key.name.size()) return false;
        for (uint32_t i = 0; i < length; ++i) {
            uint32_t c = file.U16(base + at + 2 + 2 * i), k = key.name[i];
            if (c >= 'a' && c <= 'z') c -= 0x20;
            if (k >= 'a' && k <= 'z') k -= 0x20;
            if (c != k) return false;
        }
        return true;
    }
    // The offsetToData field of the entry for the key (or of the first entry when key is null)
    // in the directory at offset; 0 when absent, with *sound false when out of bounds.
    uint32_t Find(uint64_t offset, const PeResourceKey* key, bool* sound) const {
        if (!Has(offset, 16)) {
            *sound = false;
            return 0;
        }
        uint64_t count = uint64_t{file.U16(base + offset + 12)} + file.U16(base + offset + 14);
        if (!Has(offset + 16, 8 * count)) {
            *sound = false;
            return 0;
        }
        for (uint64_t i = 0; i < count; ++i) {
            uint64_t entry = base + offset + 16 + 8 * i;
            uint32_t target = file.U32(entry + 4);
            if (key == nullptr || KeyMatches(file.U32(entry), *key, sound)) return target;
            if (!*sound) return 0;
        }
        return 0;
    }
};

}  // namespace

PeResource FindPeResource(const uint8_t* data, size_t size, const PeResourceKey& type,
                          const PeResourceKey& name) {
    Bytes file{data, size};
    if (!file.Has(0, 64) || data[0] != 'M' || data[1] != 'Z')
        return Fail(PeLookup::NotAProgram, "it has no MZ header");
    uint64_t pe = file.U32(0x3C);
    if (!file.Has(pe, 24) || file.U32(pe) != 0x00004550u)
        return Fail(PeLookup::NotAProgram, "it has no PE header");
    uint32_t sections = file.U16(pe + 6);
    uint32_t optionalSize = file.U16(pe + 20);
    uint64_t optional = pe + 24;
    if (!file.Has(optional, optionalSize) || optionalSize < 2)
        return Fail(PeLookup::Damaged, "its optional header runs past the end of the file");
    uint32_t magic = file.U16(optional);
    uint64_t countAt = magic == 0x10b ? 92 : magic == 0x20b ? 108 : 0;
    if (countAt == 0) return Fail(PeLookup::Damaged, "its optional header is of no known kind");
    // The resource table is data directory 2, eight bytes each after the count.
    if (optionalSize < countAt + 4 + 3 * 8 || file.U32(optional + countAt) < 3)
        return Fail(PeLookup::Missing, "it has no resource table");
    uint32_t rva = file.U32(optional + countAt + 4 + 16);
    uint32_t tableSize = file.U32(optional + countAt + 4 + 20);
    if (rva == 0 || tableSize == 0) return Fail(PeLookup::Missing, "it has no resource table");
    uint64_t sectionTable = optional + optionalSize;
    if (!file.Has(sectionTable, 40ull * sections))
        return Fail(PeLookup::Damaged, "its section table runs past the end of the file");
    // Windows loads no image whose sections run past the end of the file: it is cut short.
    for (uint32_t i = 0; i < sections; ++i) {
        uint64_t at = sectionTable + 40ull * i;
        if (!file.Has(file.U32(at + 20), file.U32(at + 16)))
            return Fail(PeLookup::Damaged, "it is cut short: its sections run past its end");
    }

    uint64_t base = 0, end = 0;
    if (!FileOffsetOf(file, sectionTable, sections, rva, 16, &base, &end))
        return Fail(PeLookup::Damaged, "its resource table lies outside the file");
    Directory directory{file, base, end};
    bool sound = true;
    const char* damaged = "its resource directory runs out of bounds";
    uint32_t types = directory.Find(0, &type, &sound);
    if (!sound) return Fail(PeLookup::Damaged, damaged);
    if (!(types & 0x80000000u)) return Fail(PeLookup::Missing, "it has no such resource");
    uint32_t names = directory.Find(types & 0x7FFFFFFFu, &name, &sound);
    if (!sound) return Fail(PeLookup::Damaged, damaged);
    if (!(names & 0x80000000u)) return Fail(PeLookup::Missing, "it has no such resource");
    uint32_t language = directory.Find(names & 0x7FFFFFFFu, nullptr, &sound);
    if (!sound) return Fail(PeLookup::Damaged, damaged);
    // The third level leads to a data entry, never to another directory.
    if (language == 0 || (language & 0x80000000u) || !directory.Has(language, 16))
        return Fail(PeLookup::Damaged, damaged);
    uint32_t dataRva = file.U32(base + language), dataSize = file.U32(base + language + 4);
    uint64_t offset = 0, sectionEnd = 0;
    if (!FileOffsetOf(file, sectionTable, sections, dataRva, dataSize, &offset, &sectionEnd))
        return Fail(PeLookup::Damaged, "the resource's bytes lie outside the file");
    PeResource found;
    found.status = PeLookup::Found;
    found.offset = static_cast<size_t>(offset);
    found.size = dataSize;
    return found;
}
