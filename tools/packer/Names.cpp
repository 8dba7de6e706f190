#include "tools/packer/Names.h"

#include "base/Utf8.h"

std::u16string FoldCase(const std::string& name) {
    std::u16string wide = WideOfUtf8(name);
    for (auto& c : wide) {
        if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            c = static_cast<char16_t>(c - 0x20);
        else if (c == 0xFF)
            c = 0x178;
    }
    return wide;
}
