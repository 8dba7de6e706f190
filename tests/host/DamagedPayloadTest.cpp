// Many damaged setup programs: random corruptions of the payload resource (seeded, so every run
// checks the same ones), each refused with exit code 3 before anything is written.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>

#include "app/Entry.h"
#include "install/RunFlags.h"
#include "payload/PayloadFormat.h"
#include "tests/host/TestMachine.h"

namespace {

enum Corruption { kBitFlips, kOverwrittenRun, kTruncation, kChecksum, kTrailingBytes, kCorruptions };
const char* const kCorruptionNames[] = {"bit flips", "overwritten run", "truncation",
                                        "changed checksum", "trailing bytes"};

std::string Corrupt(const std::string& payload, Corruption kind, std::mt19937& random) {
    std::string out = payload;
    auto at = [&](size_t size) { return std::uniform_int_distribution<size_t>(0, size - 1)(random); };
    auto nonZeroByte = [&] { return static_cast<char>(std::uniform_int_distribution<int>(1, 255)(random)); };
    switch (kind) {
        case kBitFlips: {
            int flips = std::uniform_int_distribution<int>(1, 3)(random);
            std::set<size_t> bits;
            while (static_cast<int>(bits.size()) < flips) bits.insert(at(out.size() * 8));
            for (size_t bit : bits) out[bit / 8] ^= static_cast<char>(1 << (bit % 8));
            break;
        }
        case kOverwrittenRun: {
            size_t start = at(out.size());
            size_t length = std::min(out.size() - start, std::uniform_int_distribution<size_t>(1, 64)(random));
            // Every byte of the run changes.
            for (size_t i = start; i < start + length; ++i) out[i] ^= nonZeroByte();
            break;
        }
        case kTruncation:
            out.resize(at(out.size()));
            break;
        case kChecksum:
            out[out.size() - 1 - at(4)] ^= nonZeroByte();
            break;
        case kTrailingBytes:
            out.append(std::uniform_int_distribution<size_t>(1, 16)(random), nonZeroByte());
            break;
        default:
            break;
    }
    return out;
}

std::string Inflated(const std::string& stream) {
    InflatedData block;
    uint32_t length = 0;
    if (!InflateBuffer(stream.data(), static_cast<uint32_t>(stream.size()), 0, &block, &length))
        return std::string();
    return std::string(reinterpret_cast<const char*>(block.get()), length);
}

// Corruptions of one payload, spread evenly over the kinds; each run on a clean machine. The
// unused bits after the last deflate block change nothing that is read: a flip there is no
// damage and is drawn again.
void RefuseCorruptions(const std::string& payload, int count, uint32_t seed, int* refused) {
    std::mt19937 random(seed);
    const std::string content = Inflated(payload);
    ASSERT_FALSE(content.empty());
    for (int i = 0; i < count; ++i) {
        Corruption kind = static_cast<Corruption>(i % kCorruptions);
        std::string damaged;
        do damaged = Corrupt(payload, kind, random);
        while (Inflated(damaged) == content);
        StartFreshProcess();
        std::vector<plat::Wide> machine = fake::ListTree(u"C:\\");
        fake::SetResource("FILES", "FILES", damaged);
        fake::SetCommandLine(u"setup.exe -S");
        ASSERT_EQ(kExitDamaged, SetupMain()) << kCorruptionNames[kind] << ", corruption " << i;
        for (int k = 0; k < fake::kOperationKinds; ++k)
            ASSERT_EQ(0, fake::OperationCount(static_cast<fake::Operation>(k)))
                << fake::OperationName(static_cast<fake::Operation>(k)) << " after " << kCorruptionNames[kind];
        ASSERT_EQ(machine, fake::ListTree(u"C:\\"));
        ++*refused;
    }
}

// A small valid payload in the real one's format: a program, a licence and a template.
std::string SmallPayload() {
    std::string raw;
    std::mt19937 random(7);
    std::string program(6000, '\0');
    for (char& c : program) c = static_cast<char>(random() % 16);  // compressible, not trivial
    AppendPayloadEntry(&raw, "tsd.exe", 46000.5, program);
    AppendPayloadEntry(&raw, "License.txt", 46000.5, std::string(2000, 'L'));
    AppendPayloadEntry(&raw, "Templates\\Letters\\Letter.rtf", 46000.5, "{\\rtf1 letter}");
    return DeflateForTest(raw);
}

TEST(DamagedSetupPrograms, TenThousandCorruptionsAreEachRefusedBeforeAnythingIsWritten) {
    ASSERT_FALSE(RealPayload().empty()) << TSD_PAYLOAD_FILE;
    auto start = std::chrono::steady_clock::now();
    int refused = 0;
    // Most on a small payload, a share on the real one, where inflating takes far longer.
    RefuseCorruptions(SmallPayload(), 9000, 12, &refused);
    RefuseCorruptions(RealPayload(), 1000, 13, &refused);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("damaged setup programs: %d corruptions refused with exit code 3 in %.1f s\n", refused, seconds);
    EXPECT_EQ(10000, refused);
}

}  // namespace
