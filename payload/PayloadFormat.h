// The payload: every installed file travels in the program file as one resource of type and name
// "FILES", holding one zlib stream. Its inflated content is a plain run of entries, back to back,
// with no header, count, padding or end marker:
//
//   offset 0      1 byte   name length n, 1..255
//   offset 1      n bytes  name, UTF-8, relative path with "\" separators (the rules of
//                          PayloadName.h)
//   offset 1+n    8 bytes  time, float64 little-endian, a date value in local time that lies on
//                          an even second (exactly what DosTimeToDate gives)
//   offset 9+n    4 bytes  size s, int32 little-endian, 0..2^31-1
//   offset 13+n   s bytes  the file's bytes
//
// This header is shared by the packer that writes the payload at build time and the reader in
// the setup program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

constexpr const char* kPayloadResourceType = "FILES";
constexpr const char* kPayloadResourceName = "FILES";
constexpr uint32_t kMaxPayloadNameLength = 255;
// Bytes of an entry beside its name and data: length byte, time, size.
constexpr uint32_t kPayloadEntryOverhead = 1 + 8 + 4;

struct PayloadEntryView {
    const char* name;  // not terminated
    uint32_t nameLength;
    double time;
    int32_t size;
    const uint8_t* data;
};

// Walks the entries from offset 0 to the end of the block. Gives false as soon as an entry would
// run past the end, has an empty name or a negative size: the block is damaged, and the entries
// visited so far must not be trusted.
bool WalkPayload(const uint8_t* block, uint32_t length,
                 const std::function<void(const PayloadEntryView&)>& visit);

// Appends one entry in the layout above. The name must be 1..255 bytes.
void AppendPayloadEntry(std::string* out, const std::string& name, double time,
                        const std::string& data);
