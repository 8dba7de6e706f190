#include "standin/RemovalSwitches.h"

#include "base/TextCompare.h"
#include "base/Utf8.h"
#include "resources/Product.h"
#include "standin/Elevation.h"

namespace {

bool Has(const std::vector<plat::Wide>& arguments, const char16_t* name) {
    for (const plat::Wide& argument : arguments)
        if (CompareTextIgnoreCase(Utf8Of(argument), Utf8Of(name)) == 0) return true;
    return false;
}

}  // namespace

bool ReadRemovalSwitches(const std::vector<plat::Wide>& arguments, TUninstallOptions* options) {
    if (!Has(arguments, kUninstallSwitch)) return false;
    options->Silent = Has(arguments, u"-S") || Has(arguments, kQuietSwitch);
    options->MayElevate = !Has(arguments, kElevatedSwitch);
    return true;
}
