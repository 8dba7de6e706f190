// What the fuzz targets share: splitting one input into parts, and the check that stops the run
// as a finding.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The input cut at its first `count - 1` bytes 0xFF (a byte that UTF-8 text never holds, so a
// seed is plain text with 0xFF between the parts); missing parts are empty.
inline std::vector<std::string> FuzzParts(const uint8_t* data, size_t size, size_t count) {
    std::vector<std::string> parts(count);
    size_t part = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && part + 1 < count) {
            ++part;
            continue;
        }
        parts[part] += static_cast<char>(data[i]);
    }
    return parts;
}

// A property that must hold for every input; a failure is a finding.
#define FUZZ_REQUIRE(condition)                                                             \
    do {                                                                                    \
        if (!(condition)) {                                                                 \
            std::fprintf(stderr, "%s:%d: FUZZ_REQUIRE(%s) failed\n", __FILE__, __LINE__,    \
                         #condition);                                                       \
            std::abort();                                                                   \
        }                                                                                   \
    } while (0)
