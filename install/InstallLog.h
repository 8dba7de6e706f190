// The install log: every folder the installation creates ("Made Dir: <path>") and every file it
// writes ("File Copy: <path>"), kept in memory while the installation runs and saved as
// "Install.log" in the main folder at the end of the run. A reinstallation starts from the
// previous file, and a line equal to one already listed (ignoring case) is not added again.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

// The lines, in the order they were first added; none until the installation starts the log.
extern std::unique_ptr<std::vector<std::string>> LogList;
// Full path of "Install.log"; empty for a portable installation, which keeps its log in memory.
extern plat::Wide LogFileName;
// While not 0, LogLine records nothing. SuspendLog and ResumeLog nest.
extern int32_t LogSuspendCount;

// Compares two 8-bit texts as the logs do: without regard to case, by the user's locale, in
// string-sort order. Less than, equal to or greater than 0.
int CompareLogText(const std::string& a, const std::string& b);
// The line's key in that order: two keys compare (as byte strings) as CompareLogText their lines.
std::string LogTextKey(const std::string& line);

void LogLine(const std::string& line);
void SuspendLog();
void ResumeLog();

// Splits a log file's text into lines: CR LF, a lone CR and a lone LF each end a line, a NUL ends
// the text, and a break at the very end adds no empty line.
std::vector<std::string> SplitLogLines(const std::string& text);
// Each line followed by CR LF.
std::string JoinLogLines(const std::vector<std::string>& lines);

// Starts the log when the installation begins: a new empty list; for an installation that is not
// portable, LogFileName in the main folder and the lines of an existing file (one that cannot be
// read is ignored). Then LogActive is set.
void StartInstallLog(const plat::Wide& mainDir, bool portable);
// Writes the lines to LogFileName, creating or replacing it. Failures are ignored.
void SaveInstallLog();

// Back to the state at process start (for tests).
void ResetInstallLog();

// Creates the folder and its missing parents, outermost first, logging "Made Dir: " for each one
// that did not exist, whether or not it could be created.
// Within one run it remembers the folders that it found or made, so that writing many files into
// one folder tests the folder once; ForgetKnownFolders makes it look again (before a retry, when
// the user may have changed the disk).
void ForceFolders(const plat::Wide& folder);
void ForgetKnownFolders();
