#include "install/DataFolder.h"

#include "install/FolderOwners.h"
#include "install/InstUtils.h"
#include "install/LinkGuard.h"
#include "resources/Product.h"

plat::Wide SharedDataRoot() {
    plat::Wide root = SpecialFolder(plat::kCsidlCommonAppData);
    if (root.empty()) root = SpecialFolder(kDataFolderFallback);
    return root;
}

plat::Wide SharedDataFolder() {
    return JoinPath(SharedDataRoot(), plat::Wide(kProductFolderName) + u"\\");
}

bool MakeDataFolderShared(const plat::Wide& folder) {
    if (!OwnedByTheAdministrators(folder)) return true;
    if (!NoLinkOnTheWay(folder)) return false;
    plat::Handle held = HeldFolder(folder);
    return held != plat::kInvalidHandle && MakeShared(held);
}
