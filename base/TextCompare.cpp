#include "base/TextCompare.h"

#include "platform/platform.h"

int CompareTextIgnoreCase(const std::string& a, const std::string& b) {
    return plat::CompareStringA(plat::kLocaleUserDefault,
                                plat::kNormIgnoreCase | plat::kSortStringSort, a, b) -
           plat::kCstrEqual;
}
