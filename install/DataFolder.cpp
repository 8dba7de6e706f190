#include "install/DataFolder.h"

#include "install/InstUtils.h"
#include "resources/Product.h"

plat::Wide SharedDataRoot() {
    plat::Wide root = SpecialFolder(plat::kCsidlCommonAppData);
    if (root.empty()) root = SpecialFolder(kDataFolderFallback);
    return root;
}

plat::Wide SharedDataFolder() {
    return JoinPath(SharedDataRoot(), plat::Wide(kProductFolderName) + u"\\");
}
