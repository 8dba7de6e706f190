// The names a payload entry may carry. The setup program joins a name to a destination folder and
// writes the file there, so a name must stay inside that folder and name one plain file in it:
// relative, "\" between folders, no empty, "." or ".." element, no drive, no ":" (a drive or an
// alternate data stream), no control character, none of < > " / | ? *, no element ending in a dot
// or a blank (Windows drops them, so two names could meet in one file), no device name (CON, PRN,
// AUX, NUL, CONIN$, CONOUT$, COM1-9, LPT1-9, COM and LPT with a superscript 1-3; in any case,
// with or without an extension). It must also be UTF-8 that the setup's decoder reads exactly:
// one- to three-byte sequences, no overlong form, no surrogate half.
//
// The packer refuses such a name, the setup program takes a payload that holds one for damaged,
// and tsdpack verify and extract refuse it: all through this one check.
#pragma once

#include <cstdint>

// Why the name cannot be an entry's name ("is absolute", ...), or nullptr when it can.
const char* PayloadNameProblem(const char* name, uint32_t length);
