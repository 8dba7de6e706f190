#include "tools/packer/Names.h"

#include <cctype>
#include <sstream>

#include "base/Utf8.h"
#include "payload/PayloadFormat.h"

namespace {

// UTF-8 of characters in the Basic Multilingual Plane only, since the reader decodes one- to
// three-byte sequences.
std::string EncodingProblem(const std::string& name) {
    const auto* p = reinterpret_cast<const unsigned char*>(name.data());
    size_t n = name.size();
    for (size_t i = 0; i < n;) {
        unsigned b = p[i];
        size_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 0;
        if ((b & 0xF8) == 0xF0) return "holds a character outside the Basic Multilingual Plane";
        if (len == 0 || i + len > n) return "is not valid UTF-8";
        for (size_t k = 1; k < len; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return "is not valid UTF-8";
        if (len == 2 && b < 0xC2) return "is not valid UTF-8";
        if (len == 3) {
            unsigned cp = ((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F);
            if (cp < 0x800) return "is not valid UTF-8";
            if (cp >= 0xD800 && cp <= 0xDFFF) return "is not valid UTF-8";
        }
        i += len;
    }
    return "";
}

// Device names that Windows opens as devices in any folder, with or without an extension.
bool IsDeviceName(const std::string& part) {
    std::string base = part.substr(0, part.find('.'));
    for (auto& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string NameProblem(const std::string& name) {
    if (name.empty()) return "is empty";
    if (name.size() > kMaxPayloadNameLength) return "is longer than 255 bytes";
    std::string encoding = EncodingProblem(name);
    if (!encoding.empty()) return encoding;
    if (name[0] == '\\' || name[0] == '/') return "is absolute";
    if (name.find(':') != std::string::npos) return "carries a drive";
    if (name.find('/') != std::string::npos) return "uses \"/\" instead of \"\\\" between folders";
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) return "holds a control character";
        if (std::string("<>\"|?*").find(static_cast<char>(c)) != std::string::npos)
            return "holds a character that Windows file names cannot hold";
    }
    std::stringstream parts(name);
    std::string part;
    while (std::getline(parts, part, '\\')) {
        if (part == "..") return "contains a \"..\" element";
        if (part.empty() || part == ".") return "contains an empty or \".\" element";
        // Windows drops a trailing dot or blank, so two names could meet in one file.
        if (part.back() == '.' || part.back() == ' ')
            return "has an element ending in \".\" or a blank";
        if (IsDeviceName(part)) return "names a Windows device";
    }
    if (name.back() == '\\') return "ends with \"\\\"";
    return "";
}

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
