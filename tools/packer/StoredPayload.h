// The payload as a program file stores it: the zlib stream of the resource "FILES"/"FILES" and
// the entries it inflates to. Pure functions over bytes, like the PE reader they build on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct StoredEntry {
    std::string name;
    double time;
    std::string data;
};

struct StoredPayload {
    std::vector<StoredEntry> entries;
    size_t inflated = 0;  // bytes of the inflated block
    size_t stored = 0;    // bytes of the zlib stream
};

// Inflates one zlib stream (nothing may follow it) and walks its entries. False with the reason
// when the stream or an entry is damaged.
bool DecodePayload(const uint8_t* packed, size_t size, StoredPayload* payload,
                   std::string* problem);

// The entries of an inflated block; false when one runs past its end (entries holds those
// before it).
bool EntriesOfBlock(const std::string& raw, std::vector<StoredEntry>* entries);

// "entry N "NAME" PROBLEM" for the first entry whose name the setup program refuses
// (payload/PayloadName.h), or "" when every name can be installed. The setup program takes a
// payload with such a name for damaged.
std::string RefusedName(const std::vector<StoredEntry>& entries);

// The payload of a program file. False with the reason when the file is no Windows program, is
// damaged, has no payload, or its payload is damaged.
bool PayloadOfProgram(const uint8_t* file, size_t size, StoredPayload* payload,
                      std::string* problem);

// The zlib stream, at the strongest level, that packing stores for an inflated payload.
bool CompressPayload(const std::string& raw, std::string* packed);
