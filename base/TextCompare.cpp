#include "base/TextCompare.h"

#include "platform/platform.h"

namespace {

constexpr uint32_t kFlags = plat::kNormIgnoreCase | plat::kSortStringSort;

}  // namespace

int CompareTextIgnoreCase(const std::string& a, const std::string& b) {
    return plat::CompareStringA(plat::kLocaleUserDefault, kFlags, a, b) - plat::kCstrEqual;
}

std::string TextKeyIgnoreCase(const std::string& text) {
    return plat::SortKeyA(plat::kLocaleUserDefault, kFlags, text);
}
