// A fresh process on a clean fake machine: every unit's state as at program start, and the
// start-up work that the entry does before anything else (the folder lookup service resolved).
#pragma once

#include "install/InstallLog.h"
#include "install/RunFlags.h"
#include "payload/AttachFiles.h"
#include "platform/fake/fake.h"
#include "wizard/UILang.h"

inline void StartFreshProcess() {
    fake::Reset();
    ResetRunFlags();
    ResetInstallLog();
    ResetAttachFilesState();
    ResetUILangState();
    plat::ResolveSHGetFolderPathW();
}
