// Locale services.
#include <vector>

#include "platform/win32/wide.h"

namespace plat {

using namespace win32;

uint32_t GetUserDefaultLCID() { return ::GetUserDefaultLCID(); }

Wide LCMapStringW(uint32_t locale, uint32_t flags, const Wide& text) {
    // A count of 0 is an error for LCMapStringW, not an empty text.
    if (text.empty()) return Wide();
    int length = static_cast<int>(text.size());
    int needed = ::LCMapStringW(locale, flags, W(text), length, nullptr, 0);
    if (needed <= 0) return Wide();
    std::vector<wchar_t> buffer(needed);
    int done = ::LCMapStringW(locale, flags, W(text), length, buffer.data(), needed);
    if (done <= 0) return Wide();
    return FromW(buffer.data(), done);
}

int CompareStringA(uint32_t locale, uint32_t flags, const std::string& a, const std::string& b) {
    return ::CompareStringA(locale, flags, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size()));
}

std::string SortKeyA(uint32_t locale, uint32_t flags, const std::string& text) {
    if (text.empty()) return std::string();
    // Keys of a path's length fit here; a longer one asks its size first.
    char buffer[512];
    int length = static_cast<int>(text.size());
    int done = ::LCMapStringA(locale, LCMAP_SORTKEY | flags, text.data(), length, buffer,
                              static_cast<int>(sizeof buffer));
    if (done > 0) return std::string(buffer, static_cast<size_t>(done));
    int needed = ::LCMapStringA(locale, LCMAP_SORTKEY | flags, text.data(), length, nullptr, 0);
    if (needed <= 0) return std::string();
    std::string key(static_cast<size_t>(needed), '\0');
    done = ::LCMapStringA(locale, LCMAP_SORTKEY | flags, text.data(), length, &key[0], needed);
    if (done <= 0) return std::string();
    key.resize(static_cast<size_t>(done));
    return key;
}

}  // namespace plat
