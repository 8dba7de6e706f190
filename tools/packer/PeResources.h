// Finds one resource in a Windows program file by walking its PE resource directory, as
// FindResource does, without Windows. A pure function over the file's bytes: no I/O, no
// allocation beyond its result, every offset checked against the buffer, so any bytes at all can
// be given to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A resource type or name: a string (compared as FindResource compares it, ignoring the case of
// ASCII letters) or, when the string is empty, a number such as 16 for RT_VERSION.
struct PeResourceKey {
    std::u16string name;
    uint16_t id = 0;
};

enum class PeLookup {
    Found,
    NotAProgram,  // no MZ header or no PE signature: some other kind of file
    Damaged,      // a PE file whose headers or resource directory run out of bounds
    Missing,      // a sound PE file without that resource
};

struct PeResource {
    PeLookup status = PeLookup::NotAProgram;
    std::string problem;  // what is wrong, for the messages of NotAProgram and Damaged
    size_t offset = 0;    // of the resource's bytes in the file, when Found
    size_t size = 0;
};

// The resource of this type and name in the first language the directory lists for it.
PeResource FindPeResource(const uint8_t* file, size_t size, const PeResourceKey& type,
                          const PeResourceKey& name);
