// The payload walk over arbitrary inflated bytes: every entry it visits lies inside the block,
// a walk that succeeds covers the block exactly, and the reader lists exactly those entries when
// every name is one the payload may carry, and none otherwise.
#include "payload/AttachFiles.h"
#include "payload/PayloadFormat.h"
#include "payload/PayloadName.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/host/TestMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact copy, so that a read past the end is caught.
    std::vector<uint8_t> block(data, data + size);
    const uint8_t* begin = block.data();
    const uint8_t* end = begin + size;
    uint64_t covered = 0;
    size_t visited = 0;
    bool named = true;
    bool walked = WalkPayload(begin, static_cast<uint32_t>(size), [&](const PayloadEntryView& e) {
        const uint8_t* name = reinterpret_cast<const uint8_t*>(e.name);
        FUZZ_REQUIRE(e.nameLength >= 1 && e.nameLength <= kMaxPayloadNameLength);
        FUZZ_REQUIRE(name > begin && name + e.nameLength <= end);
        FUZZ_REQUIRE(e.size >= 0 && e.data >= name + e.nameLength && e.data + e.size <= end);
        covered += kPayloadEntryOverhead + e.nameLength + static_cast<uint64_t>(e.size);
        ++visited;
        if (PayloadNameProblem(e.name, e.nameLength)) named = false;
    });
    if (walked) FUZZ_REQUIRE(covered == size);

    // The same bytes as a setup program's payload (compressed fast: only the reading matters).
    static bool started = (fake::Reset(), true);
    (void)started;
    ResetAttachFilesState();
    uLongf stored = compressBound(static_cast<uLong>(size));
    std::string payload(stored, '\0');
    compress2(reinterpret_cast<Bytef*>(&payload[0]), &stored, begin, static_cast<uLong>(size), 1);
    payload.resize(stored);
    fake::SetResource("FILES", "FILES", payload);
    TAttachedFiles files;
    FUZZ_REQUIRE(files.Loaded() == (walked && named));
    FUZZ_REQUIRE(files.Entries.size() == (walked && named ? visited : 0));
    return 0;
}
