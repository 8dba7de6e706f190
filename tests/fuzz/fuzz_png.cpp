// The PNG logo reader over arbitrary files: it loads or gives false, nothing else, and a loaded
// image is within the reader's limits.
#include "image/PNG.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool started = (InitPNGUnit(), true);
    (void)started;
    TMemoryStream stream(data, static_cast<int32_t>(size));
    TPNGImage image;
    if (!image.LoadFromStream(stream)) return 0;
    FUZZ_REQUIRE(image.Width() >= 0 && image.Height() >= 0);
    FUZZ_REQUIRE(static_cast<int64_t>(image.Width()) * image.Height() <= (int64_t{1} << 24));
    // Every row can be read whole.
    volatile uint8_t sum = 0;
    for (int y = 0; y < image.Height(); ++y)
        if (const uint8_t* row = image.ScanLine(y)) sum = sum + row[0];
    return 0;
}
