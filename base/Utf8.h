// Conversions between wide (UTF-16) text and the 8-bit UTF-8 text that interface strings, payload
// names and log lines are stored in. Both work per 16-bit unit, so a character beyond U+FFFF
// becomes two three-byte sequences one way and is dropped the other way; the stored texts never
// hold one.
#pragma once

#include <cstddef>
#include <string>

// Each code unit encoded by itself in one, two or three bytes (surrogate halves included).
std::string Utf8Of(const std::u16string& text);

// Decodes one-, two- and three-byte sequences; any other lead byte (a stray continuation byte, a
// four-byte lead, 0xF8 to 0xFF) skips four bytes and gives nothing. Continuation bytes are not
// checked; bytes missing at the end count as zero.
std::u16string WideOfUtf8(const char* bytes, size_t length);
std::u16string WideOfUtf8(const std::string& text);
// The NUL-terminated form: measures the text first.
std::u16string WideOfUtf8(const char* text);
