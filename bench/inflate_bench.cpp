// Prints how long the setup program's inflater takes over a payload stream, beside zlib's
// uncompress over the same bytes: inflate_bench PAYLOAD.bin [ROUNDS]. Not a test: it only
// prints figures (the medians of ROUNDS runs, default 15).
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "image/Zlib.h"

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename F>
double MedianMs(int rounds, F run) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (!run()) return -1;
        times.push_back(std::chrono::duration<double, std::milli>(
                            std::chrono::steady_clock::now() - start).count());
    }
    return Median(times);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: inflate_bench PAYLOAD.bin [ROUNDS]\n");
        return 2;
    }
    int rounds = argc > 2 ? std::atoi(argv[2]) : 15;
    if (rounds < 1) rounds = 1;
    std::FILE* f = std::fopen(argv[1], "rb");
    if (!f) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 2;
    }
    std::vector<uint8_t> packed;
    uint8_t chunk[65536];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
        packed.insert(packed.end(), chunk, chunk + got);
    std::fclose(f);

    uint32_t length = 0;
    double own = MedianMs(rounds, [&] {
        InflatedData block;
        return InflateBuffer(packed.data(), static_cast<uint32_t>(packed.size()), 0, &block,
                             &length);
    });
    std::vector<uint8_t> out(length);
    double reference = MedianMs(rounds, [&] {
        uLongf size = static_cast<uLongf>(out.size());
        return uncompress(out.data(), &size, packed.data(), static_cast<uLong>(packed.size())) ==
                   Z_OK &&
               size == out.size();
    });
    if (own < 0 || reference < 0) {
        std::fprintf(stderr, "%s does not inflate\n", argv[1]);
        return 1;
    }
    std::printf("%zu bytes -> %u bytes, median of %d rounds\n", packed.size(), length, rounds);
    std::printf("InflateBuffer (own inflater, growing block): %.2f ms (%.0f MB/s)\n", own,
                length / own / 1000.0);
    std::printf("zlib uncompress (block of the known size):   %.2f ms (%.0f MB/s)\n", reference,
                length / reference / 1000.0);
    return 0;
}
