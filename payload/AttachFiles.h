// The payload reader: the files attached to the setup program, listed from the inflated payload.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/Zlib.h"
#include "platform/platform.h"

// One payload entry. Data points into the reader's inflated block.
class TAttachedFile {
public:
    plat::Wide Name;    // relative path, decoded from UTF-8
    int32_t Size = 0;   // number of data bytes
    double Time = 0;    // last-write time, a local date value
    const uint8_t* Data = nullptr;
};

class TAttachedFiles {
public:
    // Finds the "FILES" resource of the program, inflates it in one piece into one block and
    // lists its entries. Loaded() tells whether that worked; a missing or damaged payload leaves
    // the reader empty.
    TAttachedFiles();
    TAttachedFiles(const TAttachedFiles&) = delete;
    TAttachedFiles& operator=(const TAttachedFiles&) = delete;

    bool Loaded() const { return loaded_; }

    std::vector<std::unique_ptr<TAttachedFile>> Entries;

private:
    bool Load();

    bool loaded_ = false;
    InflatedData block_;
    uint32_t blockLength_ = 0;
};

// The one reader of the run: created by the entry before any window, never released.
extern TAttachedFiles* AttachedFiles;
