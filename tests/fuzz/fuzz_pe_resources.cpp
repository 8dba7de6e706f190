// The PE resource reader of tsdpack over arbitrary file bytes: it reads nothing outside the
// buffer (an exact copy, so the sanitizer sees a read past its end), and what it finds lies
// inside it; a damaged or foreign file is said to be one, with a reason.
#include <vector>

#include "tests/fuzz/FuzzSupport.h"
#include "tools/packer/PeResources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    const uint8_t* bytes = file.empty() ? nullptr : file.data();
    const PeResourceKey keys[][2] = {
        {{u"FILES", 0}, {u"FILES", 0}},
        {{u"png", 0}, {u"logo", 0}},
        {{u"", 16}, {u"", 1}},
        {{u"", 10}, {u"TMAINDLGFORM", 0}},
    };
    for (const auto& key : keys) {
        PeResource r = FindPeResource(bytes, size, key[0], key[1]);
        if (r.status == PeLookup::Found) {
            FUZZ_REQUIRE(r.offset <= size && r.size <= size - r.offset);
        } else if (r.status != PeLookup::Missing) {
            FUZZ_REQUIRE(!r.problem.empty());
        }
    }
    return 0;
}
