// Inflation of one zlib stream (RFC 1950 header and Adler-32 check around RFC 1951 deflate data)
// held whole in memory. No system call, no exception: the outcome is a status code.
#pragma once

#include <cstdint>

enum InflateStatus : uint8_t {
    kInflateOk,
    kInflateBadHeader,         // not deflate, a window above 32 KiB, or a header check that fails
    kInflatePresetDictionary,  // FDICT set: the data needs a dictionary nobody here has
    kInflateBadBlockType,      // the reserved block type 3
    kInflateBadStoredLength,   // a stored block whose length and complement disagree
    kInflateBadCodeLengths,    // over-subscribed or incomplete code, bad repeat, too many
                               // symbols, no end-of-block code
    kInflateBadCode,           // a literal/length code the block's code does not give (or 286, 287)
    kInflateBadDistance,       // distance code 30, 31 or not given, or a distance before the start
    kInflateInputEnded,        // the input ends inside the stream
    kInflateBadCheck,          // the Adler-32 of the output differs from the stream's
    kInflateTrailingBytes,     // the stream is complete and right, but bytes follow it
    kInflateOutputLimit,       // the output would pass the limit
    kInflateNoMemory,
};

// Where the inflated bytes go: one block from malloc that the inflater grows with realloc, by at
// least `step` and at least doubling, never past `limit`. The caller owns the block, after a
// failure too; `length` then counts the bytes inflated before the failure, which are right as
// far as they go.
struct InflateOutput {
    uint8_t* data = nullptr;
    uint32_t capacity = 0;
    uint32_t length = 0;
    uint32_t step = 256;
    uint32_t limit = 0x7FFFFFFF;
};

// Inflates the zlib stream at the start of the input, appending to output (whose length it sets
// to 0 first). Reads nothing before input nor at or after input + inputLength.
InflateStatus InflateZlib(const uint8_t* input, uint32_t inputLength, InflateOutput* output);

// The Adler-32 of the bytes, as the stream's trailer carries it.
uint32_t Adler32(const uint8_t* data, uint32_t length);
