#include "app/Entry.h"

#include "app/CommandLine.h"
#include "install/RunFlags.h"
#include "payload/AttachFiles.h"
#include "platform/platform.h"

namespace {

// Shown when the program file's payload is missing or damaged; there is nothing to install then.
constexpr char16_t kDamagedText[] =
    u"The setup program is damaged: the files it carries cannot be read.\r\r"
    u"Please download the setup program again and run the new copy.";
constexpr char16_t kDamagedCaption[] = u"Tessaron Word Processor - Setup";

// Start-up work of the units, before any window exists.
void StartUnits() {
    plat::OleInitialize();
    plat::ResolveSHGetFolderPathW();
}

void StopUnits() { plat::OleUninitialize(); }

}  // namespace

int32_t SetupMain() {
    StartUnits();
    plat::IconHandle icon = plat::LoadIconW(1);
    (void)icon;

    if (HasSilentSwitch(ProgramArguments())) Silent = true;

    // The payload is inflated and listed before any window is made; a program file whose payload
    // cannot be read stops here.
    AttachedFiles = new TAttachedFiles();
    if (!AttachedFiles->Loaded()) {
        if (!Silent)
            plat::MessageBoxW(0, kDamagedText, kDamagedCaption,
                              plat::kMbTaskModal | plat::kMbIconError | plat::kMbOk);
        ExitCode = kExitDamaged;
    }

    StopUnits();
    return ExitCode;
}
