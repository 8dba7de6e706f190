// The last step of removing the installed copy: the running program file cannot delete itself,
// so a copy of it in the temporary folder finishes the removal once this process has ended.
#pragma once

#include <string>

// Starts that copy for the installation folder. The copy is created new, under a name nobody can
// guess, in the temporary folder, and opened for deletion on close before it starts, so the
// system deletes it when its process ends. When it cannot be started (a full disk), and only
// where `mayDeleteAtRestart` says no other user can write the folder, the program file, the
// install log and the folder are scheduled for deletion at the next start of Windows instead.
// False when neither happened: the removal then names what it left.
bool StartFinishCopy(const std::wstring& folder, bool mayDeleteAtRestart);

// The command line switch of that copy: "-uifinish <handle of the waiting process> <folder>".
constexpr wchar_t kFinishSwitch[] = L"-uifinish";

// In the copy: waits for the installed program to end, then removes what is left.
int RunFinishCopy(const std::wstring& processHandle, const std::wstring& folder);
