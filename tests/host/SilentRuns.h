// The silent runs that the sweeps repeat, each as a process of its own: the setup program, and
// the removal's two steps (the installed program, then its finishing copy).
#pragma once

#include "app/Entry.h"
#include "standin/Uninstall.h"
#include "tests/host/TestMachine.h"

inline int SilentSetup() {
    ResetProcessState();
    fake::SetCommandLine(u"\"C:\\Users\\User\\Downloads\\tessaron-setup.exe\" -S");
    return SetupMain();
}

// "tsd.exe -ui /S"; its finishing copy is taken as started.
inline int SilentRemovalStep() {
    ResetProcessState();
    const plat::Wide program = kMain + u"\\tsd.exe";
    fake::SetModuleFileName(program);
    TUninstallOptions options;
    options.ProgramPath = program;
    options.Silent = true;
    options.StartFinish = [](const plat::Wide&) { return true; };
    return Uninstall(options);
}

// Both steps, each ended as its process ends.
inline int SilentRemoval() {
    int code = SilentRemovalStep();
    fake::StartNextProcess();
    if (code == kUninstallRemoved) code = FinishUninstall(kMain);
    fake::StartNextProcess();
    return code;
}
