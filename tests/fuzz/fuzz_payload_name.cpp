// Payload entry names over arbitrary bytes: the check ends on any input, and a name it accepts
// is installed as exactly that name and stays one file inside the destination folder as Windows
// reads a path: elements split at "\" and "/", trailing dots and blanks dropped, "." and ".."
// resolved, no drive or stream after ":".
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "payload/PayloadName.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The elements Windows makes of "C:\Dest\" + name, below C:\Dest; false when the path leaves it.
bool WindowsElements(const std::u16string& name, std::vector<std::u16string>* elements) {
    std::u16string element;
    bool inside = true;
    auto end = [&] {
        if (element != u"." && element != u"..")
            while (!element.empty() && (element.back() == u'.' || element.back() == u' '))
                element.pop_back();
        if (element == u"..") {
            if (elements->empty())
                inside = false;
            else
                elements->pop_back();
        } else if (!element.empty() && element != u".") {
            elements->push_back(element);
        }
        element.clear();
    };
    for (char16_t c : name) {
        if (c == u'\\' || c == u'/')
            end();
        else
            element += c;
    }
    end();
    return inside;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 300) return 0;
    // An exact copy, so that a read past the end is caught.
    std::vector<char> bytes(data, data + size);
    const char* problem = PayloadNameProblem(bytes.data(), static_cast<uint32_t>(size));
    if (problem) {
        FUZZ_REQUIRE(*problem != '\0');
        return 0;
    }
    std::string name(bytes.begin(), bytes.end());
    std::u16string wide = WideOfUtf8(name);
    FUZZ_REQUIRE(Utf8Of(wide) == name);  // decoded as exactly what was checked

    std::vector<std::u16string> elements;
    FUZZ_REQUIRE(WindowsElements(wide, &elements));
    // Windows reads each element as the name has it: nothing dropped, merged or resolved away.
    std::vector<std::u16string> written;
    size_t start = 0;
    for (size_t i = 0; i <= wide.size(); ++i)
        if (i == wide.size() || wide[i] == u'\\') {
            written.push_back(wide.substr(start, i - start));
            start = i + 1;
        }
    FUZZ_REQUIRE(elements == written);
    for (char16_t c : wide) FUZZ_REQUIRE(c >= 0x20 && c != u':' && c != u'/');
    return 0;
}
