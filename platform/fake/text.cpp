// Letter case per UTF-16 code unit and code page 1252, as the fake's locale, file system and
// registry need them. The case pairs follow what Windows' LCMapStringW gives for Latin-1,
// Latin Extended-A, Greek and Cyrillic; other code units have no case.
#include "platform/fake/state.h"

namespace fake::detail {

namespace {

bool In(char16_t c, char16_t first, char16_t last) { return c >= first && c <= last; }

// Ranges where an even code is the capital and the next odd one its small letter.
bool EvenCapitalPair(char16_t c) {
    return In(c, 0x100, 0x12F) || In(c, 0x132, 0x137) || In(c, 0x14A, 0x177) ||
           In(c, 0x370, 0x373) || In(c, 0x376, 0x377) || In(c, 0x3D8, 0x3EF) ||
           In(c, 0x3FA, 0x3FB) || In(c, 0x460, 0x481) || In(c, 0x48A, 0x4BF) || In(c, 0x4D0, 0x52F);
}

// Ranges where an odd code is the capital.
bool OddCapitalPair(char16_t c) {
    return In(c, 0x139, 0x148) || In(c, 0x179, 0x17E) || In(c, 0x3F7, 0x3F8) ||
           In(c, 0x4C1, 0x4CE);
}

// Code page 1252 bytes 0x80..0x9F; 0 where the code page has no character (those bytes map to
// the C1 control of the same value).
const char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

char16_t UpperUnit(char16_t c) {
    if (c < 0x80) return In(c, 'a', 'z') ? c - 0x20 : c;
    if (c < 0x100) {
        if (c == 0xFF) return 0x178;
        return In(c, 0xE0, 0xFE) && c != 0xF7 ? c - 0x20 : c;
    }
    if (EvenCapitalPair(c)) return (c & 1) ? c - 1 : c;
    if (OddCapitalPair(c)) return (c & 1) ? c : c - 1;
    if (In(c, 0x3B1, 0x3CB) && c != 0x3C2) return c - 0x20;
    if (c == 0x3AC) return 0x386;
    if (In(c, 0x3AD, 0x3AF)) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (In(c, 0x3CD, 0x3CE)) return c - 0x3F;
    if (In(c, 0x37B, 0x37D)) return c + 0x82;
    if (c == 0x3F3) return 0x37F;
    if (c == 0x3D7) return 0x3CF;
    if (c == 0x3F2) return 0x3F9;
    if (In(c, 0x430, 0x44F)) return c - 0x20;
    if (In(c, 0x450, 0x45F)) return c - 0x50;
    if (c == 0x4CF) return 0x4C0;
    return c;
}

char16_t LowerUnit(char16_t c) {
    if (c < 0x80) return In(c, 'A', 'Z') ? c + 0x20 : c;
    if (c < 0x100) return In(c, 0xC0, 0xDE) && c != 0xD7 ? c + 0x20 : c;
    if (c == 0x178) return 0xFF;
    if (EvenCapitalPair(c)) return (c & 1) ? c : c + 1;
    if (OddCapitalPair(c)) return (c & 1) ? c + 1 : c;
    if (In(c, 0x391, 0x3AB) && c != 0x3A2) return c + 0x20;
    if (c == 0x386) return 0x3AC;
    if (In(c, 0x388, 0x38A)) return c + 0x25;
    if (c == 0x38C) return 0x3CC;
    if (In(c, 0x38E, 0x38F)) return c + 0x3F;
    if (In(c, 0x3FD, 0x3FF)) return c - 0x82;
    if (c == 0x37F) return 0x3F3;
    if (c == 0x3CF) return 0x3D7;
    if (c == 0x3F9) return 0x3F2;
    if (In(c, 0x410, 0x42F)) return c + 0x20;
    if (In(c, 0x400, 0x40F)) return c + 0x50;
    if (c == 0x4C0) return 0x4CF;
    return c;
}

Wide Upper(const Wide& text) {
    Wide result(text);
    for (auto& c : result) c = UpperUnit(c);
    return result;
}

char16_t FromCp1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0 && kCp1252High[byte - 0x80]) return kCp1252High[byte - 0x80];
    return byte;
}

Wide WideOfCp1252(const std::string& bytes) {
    Wide result;
    result.reserve(bytes.size());
    for (unsigned char b : bytes) result += FromCp1252(b);
    return result;
}

std::string Cp1252Of(const Wide& text) {
    std::string result;
    result.reserve(text.size());
    for (char16_t c : text) {
        char byte = '?';
        if (c < 0x100 && (c < 0x80 || c >= 0xA0 || !kCp1252High[c - 0x80])) {
            byte = static_cast<char>(c);
        } else {
            for (int i = 0; i < 32; ++i) {
                if (kCp1252High[i] == c) byte = static_cast<char>(0x80 + i);
            }
        }
        result += byte;
    }
    return result;
}

Wide Ascii(const std::string& text) { return Wide(text.begin(), text.end()); }

}  // namespace fake::detail
