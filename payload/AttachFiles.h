// The payload reader: the files attached to the setup program, listed from the inflated payload.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <set>
#include <vector>

#include "image/Zlib.h"
#include "platform/platform.h"

// How SelectFiles treats a file that already exists at the destination.
enum CopyMode : uint8_t {
    CopyIfMissing = 0,  // write only when no file exists there
    CopyIfChanged = 1,  // write when none exists or its date differs from the entry's
    CopyAlways = 2,     // always write
};

// One payload entry. Data points into the reader's inflated block.
class TAttachedFile {
public:
    plat::Wide Name;    // relative path, decoded from UTF-8
    int32_t Size = 0;   // number of data bytes
    double Time = 0;    // last-write time, a local date value
    const uint8_t* Data = nullptr;
};

// A file that the installation is to write.
class TFileToInstall {
public:
    TAttachedFile* Source = nullptr;  // not owned
    plat::Wide Dest;                  // full destination path
    uint8_t Logged = 0;               // 1 when the log was not suspended at selection
};

class TAttachedFiles {
public:
    // Finds the "FILES" resource of the program, inflates it in one piece into one block and
    // lists its entries. Loaded() tells whether that worked; a missing or damaged payload, or one
    // with a name that PayloadNameProblem refuses, leaves the reader empty.
    TAttachedFiles();
    TAttachedFiles(const TAttachedFiles&) = delete;
    TAttachedFiles& operator=(const TAttachedFiles&) = delete;

    bool Loaded() const { return loaded_; }

    // Selects the entries the pattern names, to be written below the folder. A pattern ending in
    // "\" takes every entry whose name begins with it; any other pattern takes the first entry of
    // that name. Names are compared without regard to case. Destinations under PublicDataDir are
    // also listed in UpdateList, with a tab and "!" when the mode given was CopyIfMissing.
    void SelectFiles(const std::string& pattern, const plat::Wide& folder, CopyMode mode);

    // Writes one entry (or, when none is given, the last entry named `name`) to the path with its
    // time stamp and its "File Copy: " line; a file there that already holds exactly those bytes
    // and that stamp is left untouched, with the line all the same. When the file cannot be
    // written: in a silent run the exit code becomes 2 and the result is false; otherwise the
    // user chooses Abort (false), Retry or Ignore (true, the file left as it is).
    bool InstallFile(TAttachedFile* entry, const std::string& name, const plat::Wide& path);

    // Writes the last entry named `name` into a new file of its own in the folder (a name that
    // nothing held before, "<stem>-<hex>.<extension>"), reads it back into *bytes and deletes it
    // again. Failures are reported as InstallFile reports them; Ignore gives true with no bytes.
    bool ExtractTemporarily(const std::string& name, const plat::Wide& folder, std::string* bytes);

    std::vector<std::unique_ptr<TAttachedFile>> Entries;
    std::vector<std::unique_ptr<TFileToInstall>> ToInstall;
    std::vector<std::string> UpdateList;  // UTF-8 update-log lines, in selection order

private:
    bool Load();
    void AddFileToInstall(TAttachedFile* entry, const plat::Wide& folder, CopyMode effective,
                          CopyMode given);
    bool WriteEntry(const TAttachedFile& entry, const plat::Wide& path);
    TAttachedFile* LastEntryNamed(const std::string& name);
    // Runs the attempt until it succeeds or the user gives up (see InstallFile).
    bool Retrying(const plat::Wide& path, const std::function<bool()>& attempt);

    bool loaded_ = false;
    InflatedData block_;
    // PathKey of every destination in ToInstall: a temporary name is checked against them once
    // per file written, and a scan of them all would make a run quadratic in its files.
    std::set<plat::Wide> destKeys_;
    uint32_t blockLength_ = 0;
};

// The one reader of the run: created by the entry before any window, never released.
extern TAttachedFiles* AttachedFiles;

// The all-users data folder for templates and clip library items, "...\Tessaron\Public\".
extern plat::Wide PublicDataDir;
// Set for a normal installation: every selected file is written again, whatever exists.
extern bool ForceOverwrite;

// Back to the state at process start (for tests).
void ResetAttachFilesState();
