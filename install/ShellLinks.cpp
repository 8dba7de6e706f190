#include "install/ShellLinks.h"

#include "install/InstUtils.h"
#include "install/InstallLog.h"

void MakeShortcut(const Wide& linkPath, const Wide& targetPath, const Wide& workingFolder,
                  const Wide& description) {
    plat::ShellLink link;
    if (!link.Created()) return;
    link.SetPath(targetPath);
    link.SetWorkingDirectory(workingFolder);
    link.SetDescription(description);
    if (!link.HasPersistFile()) return;
    ForceFolders(ExtractFolder(linkPath));
    link.Save(linkPath);
    // Logged whether or not the save worked: the installation goes on as if it existed.
    LogLine("File Copy: " + Utf8Of(linkPath));
}
