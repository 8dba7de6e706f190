// Removing an installed copy again ("tsd.exe -ui"): what the setup program put on the machine, as
// its install log and update log list it, and its two registry keys. Nothing that the logs do not
// list is deleted, so the user's own documents stay, and a folder goes only when it is empty.
// Nothing is deleted through a junction or symbolic link, and no link is deleted (RealPaths.h); a
// shared file that the user changed after its installation stays. When the uninstall entry names
// another folder, that copy's entry, saved choices, shortcuts and shared data stay, and only this
// copy's own files go; a copy that the entry names but whose log is missing goes by what the
// entry, the product's file names and its shortcuts tell (InstalledCopy.h).
//
// A running program cannot delete its own file, so the work is done in two steps: Uninstall runs
// in the installed program and removes everything except the program file, "Install.log" and the
// folders holding them; FinishUninstall runs in a copy outside the installation folder once the
// installed program has ended, and removes the rest by the same log.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "resources/Product.h"

using plat::Wide;

// Exit codes of "-ui".
// everything listed is gone, or kept by rule (the user's changed files; another copy's share)
constexpr int kUninstallRemoved = 0;
constexpr int kUninstallRefused = 1;     // cancelled, the application runs, or a portable copy
// something could not be removed or was left because it is a link, or the log is damaged
constexpr int kUninstallIncomplete = 2;

// The installation's record of what it put into the installation folder and elsewhere.
struct TInstallRecord {
    std::vector<Wide> Files;    // "File Copy: " lines, in log order
    std::vector<Wide> Folders;  // "Made Dir: " lines, in log order, with their trailing backslash
};

enum class TLogState { Missing, Damaged, Read };

// Reads and checks an install log. Damaged: unreadable, a NUL byte, a line of another kind, a
// path that is not a full one, or not one file line at all. A damaged log is never acted on.
TLogState ReadInstallRecord(const Wide& logPath, TInstallRecord* record);


struct TUninstallOptions {
    Wide ProgramPath;  // the running program; its folder is the installation folder
    bool Silent = false;
    // Whether a removal that needs administrative rights may start the program again elevated
    // when this process is not (false in the copy that was started so).
    bool MayElevate = false;
    // Starts FinishUninstall for that folder in a process that is not the running program and
    // that waits for it to end; false when that could not be arranged.
    std::function<bool(const Wide& folder)> StartFinish;
};

// The whole "-ui" command in the running program: the checks, the confirmation, the removal, the
// closing message. Returns the exit code.
int Uninstall(const TUninstallOptions& options);

// The second step, after the installed program has ended: the files that the log in that folder
// still lists (the program itself), then the log, then the logged folders that are empty,
// deepest first, and the folder itself when empty; without a log, the product's program files.
// Returns kUninstallRemoved or kUninstallIncomplete; the log stays while a file that it lists
// remains.
int FinishUninstall(const Wide& folder);

// ---- Texts (UTF-8, one per interface language row) ----
using TUninstallText = const char* const[6];
extern TUninstallText UninstallConfirm;    // question before anything is removed
extern TUninstallText UninstallDone;       // everything is removed
extern TUninstallText UninstallPartly;     // "%s": the items left, one per line
extern TUninstallText UninstallRunning;    // refused while the application runs
extern TUninstallText UninstallPortable;   // a portable copy: delete its folder
extern TUninstallText UninstallLogDamaged; // the install log cannot be used
extern TUninstallText UninstallNotAll;     // only links were left: the lead of the report
extern TUninstallText UninstallLinksLeft;  // "%s": the links, or paths behind one, left as they are
extern TUninstallText UninstallChangedKept; // "%s": the shared files the user changed, kept
extern TUninstallText UninstallOtherCopy;  // "%s" this copy's folder, "%s" the listed copy's
