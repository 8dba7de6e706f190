#include "payload/PayloadName.h"

#include <cstring>

#include "payload/PayloadFormat.h"

namespace {

// Strict UTF-8 of the Basic Multilingual Plane. The setup's decoder does not look at continuation
// bytes, so an overlong form such as C0 AE would reach it as a "." that no byte test here saw.
const char* EncodingProblem(const uint8_t* p, uint32_t n) {
    for (uint32_t i = 0; i < n;) {
        unsigned b = p[i];
        if ((b & 0xF8) == 0xF0) return "holds a character outside the Basic Multilingual Plane";
        uint32_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 0;
        if (len == 0 || len > n - i) return "is not valid UTF-8";
        for (uint32_t k = 1; k < len; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return "is not valid UTF-8";
        if (len == 2 && b < 0xC2) return "is not valid UTF-8";
        if (len == 3) {
            unsigned cp = ((b & 0x0F) << 12) | ((p[i + 1] & 0x3Fu) << 6) | (p[i + 2] & 0x3Fu);
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return "is not valid UTF-8";
        }
        i += len;
    }
    return nullptr;
}

bool SameLetters(const uint8_t* p, uint32_t n, const char* upper) {
    if (std::strlen(upper) != n) return false;
    for (uint32_t i = 0; i < n; ++i) {
        unsigned c = p[i];
        if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
        if (c != static_cast<uint8_t>(upper[i])) return false;
    }
    return true;
}

// Windows opens these as devices in any folder, whatever extension follows and with blanks
// before it; the superscript digits count as digits there too.
bool IsDeviceName(const uint8_t* part, uint32_t n) {
    uint32_t base = 0;
    while (base < n && part[base] != '.') ++base;
    while (base > 0 && part[base - 1] == ' ') --base;
    for (const char* name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (SameLetters(part, base, name)) return true;
    if (base < 4 || !(SameLetters(part, 3, "COM") || SameLetters(part, 3, "LPT"))) return false;
    if (base == 4) return part[3] >= '1' && part[3] <= '9';
    // U+00B9, U+00B2, U+00B3
    return base == 5 && part[3] == 0xC2 && (part[4] == 0xB9 || part[4] == 0xB2 || part[4] == 0xB3);
}

const char* ElementProblem(const uint8_t* part, uint32_t n) {
    if (n == 0) return "contains an empty element";
    if (n == 1 && part[0] == '.') return "contains a \".\" element";
    if (n == 2 && part[0] == '.' && part[1] == '.') return "contains a \"..\" element";
    if (part[n - 1] == '.' || part[n - 1] == ' ') return "has an element ending in \".\" or a blank";
    if (IsDeviceName(part, n)) return "names a Windows device";
    return nullptr;
}

}  // namespace

const char* PayloadNameProblem(const char* name, uint32_t length) {
    const auto* p = reinterpret_cast<const uint8_t*>(name);
    if (length == 0) return "is empty";
    if (length > kMaxPayloadNameLength) return "is longer than 255 bytes";
    if (const char* problem = EncodingProblem(p, length)) return problem;
    if (p[0] == '\\' || p[0] == '/') return "is absolute";
    for (uint32_t i = 0; i < length; ++i) {
        unsigned c = p[i];
        if (c == ':') return "holds a \":\" (a drive or an alternate data stream)";
        if (c == '/') return "uses \"/\" instead of \"\\\" between folders";
        if (c < 0x20 || c == 0x7F) return "holds a control character";
        if (std::strchr("<>\"|?*", static_cast<int>(c)) != nullptr)
            return "holds a character that Windows file names cannot hold";
    }
    uint32_t start = 0;
    for (uint32_t i = 0; i <= length; ++i) {
        if (i < length && p[i] != '\\') continue;
        if (const char* problem = ElementProblem(p + start, i - start)) return problem;
        start = i + 1;
    }
    return nullptr;
}
