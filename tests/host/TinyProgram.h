// A minimal 32-bit Windows program file built in memory, with nothing but a resource section:
// enough for the PE resource reader and for tsdpack's inspection commands. Each resource gets a
// type of its own, one name and one language, laid out the way windres lays them out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TinyResource {
    std::u16string type;  // empty: typeId
    uint16_t typeId = 0;
    std::u16string name;  // empty: nameId
    uint16_t nameId = 0;
    std::string data;
};

namespace tiny_program {

inline void Put16(std::string* s, size_t at, uint32_t v) {
    (*s)[at] = static_cast<char>(v);
    (*s)[at + 1] = static_cast<char>(v >> 8);
}
inline void Put32(std::string* s, size_t at, uint32_t v) {
    Put16(s, at, v & 0xFFFF);
    Put16(s, at + 2, v >> 16);
}

}  // namespace tiny_program

constexpr uint32_t kTinySectionRva = 0x1000;
constexpr uint32_t kTinySectionOffset = 0x200;

// The resource section's bytes, its offsets relative to its own start.
inline std::string TinyResourceSection(const std::vector<TinyResource>& resources) {
    using tiny_program::Put16;
    using tiny_program::Put32;
    const size_t count = resources.size();
    const size_t typeDirs = 16 + 8 * count, nameDirs = typeDirs + 24 * count,
                 dataEntries = nameDirs + 24 * count, strings = dataEntries + 16 * count;
    std::string s(strings, '\0');
    // Name strings, then the data, each string and block at an even/4-byte boundary.
    std::vector<uint32_t> typeStr(count), nameStr(count), dataAt(count);
    auto addString = [&](const std::u16string& text) {
        uint32_t at = static_cast<uint32_t>(s.size());
        s.append(2 + 2 * text.size(), '\0');
        Put16(&s, at, static_cast<uint32_t>(text.size()));
        for (size_t i = 0; i < text.size(); ++i) Put16(&s, at + 2 + 2 * i, text[i]);
        return at;
    };
    for (size_t i = 0; i < count; ++i) {
        if (!resources[i].type.empty()) typeStr[i] = addString(resources[i].type);
        if (!resources[i].name.empty()) nameStr[i] = addString(resources[i].name);
    }
    for (size_t i = 0; i < count; ++i) {
        s.resize((s.size() + 7) & ~size_t{7}, '\0');
        dataAt[i] = static_cast<uint32_t>(s.size());
        s += resources[i].data;
    }
    Put16(&s, 12, 0);
    Put16(&s, 14, static_cast<uint32_t>(count));  // counted as id entries; the reader takes both
    for (size_t i = 0; i < count; ++i) {
        const TinyResource& r = resources[i];
        size_t typeDir = typeDirs + 24 * i, nameDir = nameDirs + 24 * i, data = dataEntries + 16 * i;
        Put32(&s, 16 + 8 * i, r.type.empty() ? r.typeId : 0x80000000u | typeStr[i]);
        Put32(&s, 16 + 8 * i + 4, 0x80000000u | static_cast<uint32_t>(typeDir));
        Put16(&s, typeDir + 14, 1);
        Put32(&s, typeDir + 16, r.name.empty() ? r.nameId : 0x80000000u | nameStr[i]);
        Put32(&s, typeDir + 20, 0x80000000u | static_cast<uint32_t>(nameDir));
        Put16(&s, nameDir + 14, 1);
        Put32(&s, nameDir + 16, 1033);
        Put32(&s, nameDir + 20, static_cast<uint32_t>(data));
        Put32(&s, data, kTinySectionRva + dataAt[i]);
        Put32(&s, data + 4, static_cast<uint32_t>(r.data.size()));
    }
    return s;
}

// The whole program file: DOS header, PE header, optional header, one section ".rsrc".
inline std::string TinyProgram(const std::vector<TinyResource>& resources) {
    using tiny_program::Put16;
    using tiny_program::Put32;
    std::string section = TinyResourceSection(resources);
    section.resize((section.size() + 0x1FF) & ~size_t{0x1FF}, '\0');
    std::string f(kTinySectionOffset, '\0');
    f[0] = 'M';
    f[1] = 'Z';
    const size_t pe = 0x40, optional = pe + 24, sections = optional + 224;
    Put32(&f, 0x3C, pe);
    f.replace(pe, 4, std::string("PE\0\0", 4));
    Put16(&f, pe + 4, 0x14C);  // i386
    Put16(&f, pe + 6, 1);
    Put16(&f, pe + 20, 224);
    Put16(&f, pe + 22, 0x102);
    Put16(&f, optional, 0x10B);
    Put32(&f, optional + 92, 16);
    Put32(&f, optional + 96 + 16, kTinySectionRva);
    Put32(&f, optional + 96 + 20, static_cast<uint32_t>(section.size()));
    f.replace(sections, 6, ".rsrc\0", 6);
    Put32(&f, sections + 8, static_cast<uint32_t>(section.size()));
    Put32(&f, sections + 12, kTinySectionRva);
    Put32(&f, sections + 16, static_cast<uint32_t>(section.size()));
    Put32(&f, sections + 20, kTinySectionOffset);
    return f + section;
}
