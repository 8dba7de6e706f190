// The walk over the inflated payload: exact ends, empty entries, long names and damaged blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payload/PayloadFormat.h"

namespace {

struct Seen {
    std::string name;
    double time;
    std::string data;
};

bool Walk(const std::string& block, std::vector<Seen>* seen) {
    seen->clear();
    return WalkPayload(reinterpret_cast<const uint8_t*>(block.data()),
                       static_cast<uint32_t>(block.size()), [&](const PayloadEntryView& e) {
                           seen->push_back({std::string(e.name, e.nameLength), e.time,
                                            std::string(reinterpret_cast<const char*>(e.data),
                                                        static_cast<size_t>(e.size))});
                       });
}

TEST(PayloadWalk, YieldsEveryEntryUpToTheExactEnd) {
    std::string block;
    AppendPayloadEntry(&block, "tsd.exe", 46000.5, "MZ program bytes");
    AppendPayloadEntry(&block, "empty.txt", 46001.25, "");
    AppendPayloadEntry(&block, std::string(255, 'n'), 29221.0, "12345678");
    std::vector<Seen> seen;
    ASSERT_TRUE(Walk(block, &seen));
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ("tsd.exe", seen[0].name);
    EXPECT_EQ(46000.5, seen[0].time);
    EXPECT_EQ("MZ program bytes", seen[0].data);
    EXPECT_EQ("", seen[1].data);
    EXPECT_EQ(46001.25, seen[1].time) << "the entry after an empty one starts right after it";
    EXPECT_EQ(std::string(255, 'n'), seen[2].name);
    EXPECT_EQ("12345678", seen[2].data);
}

TEST(PayloadWalk, LayoutIsLittleEndianAsStored) {
    std::string block;
    AppendPayloadEntry(&block, "a", 1.0, "xyz");
    ASSERT_EQ(1u + 1 + 8 + 4 + 3, block.size());
    EXPECT_EQ('\x01', block[0]);
    EXPECT_EQ('a', block[1]);
    // 1.0 as float64: 00 00 00 00 00 00 F0 3F
    EXPECT_EQ(std::string("\0\0\0\0\0\0\xF0\x3F", 8), block.substr(2, 8));
    EXPECT_EQ(std::string("\x03\0\0\0", 4), block.substr(10, 4));
}

TEST(PayloadWalk, AnEmptyBlockHasNoEntries) {
    std::vector<Seen> seen;
    EXPECT_TRUE(Walk("", &seen));
    EXPECT_TRUE(seen.empty());
}

TEST(PayloadWalk, RefusesEveryWalkPastTheEnd) {
    std::string block;
    AppendPayloadEntry(&block, "first.txt", 46000.0, "first");
    AppendPayloadEntry(&block, "second.txt", 46000.0, "second entry");
    std::vector<Seen> seen;
    // Cut anywhere inside the second entry: its header or its data would run past the end.
    size_t secondStart = 1 + 9 + 12 + 5;
    for (size_t cut = secondStart + 1; cut < block.size(); ++cut)
        EXPECT_FALSE(Walk(block.substr(0, cut), &seen)) << cut;

    std::string tooLong = block;
    tooLong[secondStart + 1 + 10 + 8] = '\x7F';  // size of the second entry
    EXPECT_FALSE(Walk(tooLong, &seen));

    std::string negative = block;
    negative[secondStart + 1 + 10 + 8 + 3] = '\x80';
    EXPECT_FALSE(Walk(negative, &seen));

    std::string emptyName = block;
    emptyName[secondStart] = '\0';
    EXPECT_FALSE(Walk(emptyName, &seen));
}

}  // namespace
