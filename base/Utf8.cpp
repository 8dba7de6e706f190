#include "base/Utf8.h"

#include <cstring>

std::string Utf8Of(const std::u16string& text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char16_t u : text) {
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::u16string WideOfUtf8(const char* bytes, size_t length) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    // Bytes missing at the end of the text read as zero.
    auto at = [&](size_t i) -> unsigned { return i < length ? p[i] : 0; };
    std::u16string out;
    out.reserve(length);
    size_t i = 0;
    while (i < length) {
        unsigned b0 = p[i];
        if (b0 < 0x80) {
            out += static_cast<char16_t>(b0);
            i += 1;
        } else if ((b0 & 0xE0) == 0xC0) {
            out += static_cast<char16_t>(((b0 & 0x1F) << 6) | (at(i + 1) & 0x3F));
            i += 2;
        } else if ((b0 & 0xF0) == 0xE0) {
            out += static_cast<char16_t>(((b0 & 0x0F) << 12) | ((at(i + 1) & 0x3F) << 6) |
                                         (at(i + 2) & 0x3F));
            i += 3;
        } else {
            i += 4;
        }
    }
    return out;
}

std::u16string WideOfUtf8(const std::string& text) { return WideOfUtf8(text.data(), text.size()); }

std::u16string WideOfUtf8(const char* text) { return WideOfUtf8(text, std::strlen(text)); }
