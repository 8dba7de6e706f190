// The PE resource reader of tsdpack: it finds what FindResource finds, tells other files and
// damaged ones apart, and reports only places inside the buffer whatever the bytes say.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "tests/host/TestMachine.h"
#include "tests/host/TinyProgram.h"
#include "tools/packer/PeResources.h"

namespace {

PeResource Find(const std::string& file, const PeResourceKey& type, const PeResourceKey& name) {
    return FindPeResource(reinterpret_cast<const uint8_t*>(file.data()), file.size(), type, name);
}

std::string Found(const std::string& file, const PeResource& r) {
    return r.status == PeLookup::Found ? file.substr(r.offset, r.size) : "(" + r.problem + ")";
}

std::string BuiltFile(const std::string& name) {
    std::ifstream in(std::string(TSD_WIN_BUILD_DIR) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

const std::vector<TinyResource> kResources = {
    {u"FILES", 0, u"FILES", 0, "the payload"},
    {u"PNG", 0, u"LOGO", 0, "a logo"},
    {u"", 16, u"", 1, "version"},
    {u"", 10, u"TMAINDLGFORM", 0, ""},
};

TEST(PeResources, FindsByNameAndNumberIgnoringTheCaseOfNames) {
    std::string file = TinyProgram(kResources);
    EXPECT_EQ("the payload", Found(file, Find(file, {u"FILES"}, {u"FILES"})));
    EXPECT_EQ("the payload", Found(file, Find(file, {u"files"}, {u"Files"})));
    EXPECT_EQ("a logo", Found(file, Find(file, {u"PNG"}, {u"LOGO"})));
    EXPECT_EQ("version", Found(file, Find(file, {u"", 16}, {u"", 1})));
    PeResource empty = Find(file, {u"", 10}, {u"TMAINDLGFORM"});
    EXPECT_EQ(PeLookup::Found, empty.status);
    EXPECT_EQ(0u, empty.size);

    EXPECT_EQ(PeLookup::Missing, Find(file, {u"FILE"}, {u"FILES"}).status);
    EXPECT_EQ(PeLookup::Missing, Find(file, {u"FILES"}, {u"FILES2"}).status);
    EXPECT_EQ(PeLookup::Missing, Find(file, {u"", 16}, {u"", 2}).status);
    EXPECT_EQ(PeLookup::Missing, Find(file, {u"", 16}, {u"VERSION"}).status) << "a name is no number";
    EXPECT_EQ(PeLookup::Missing, Find(TinyProgram({}), {u"FILES"}, {u"FILES"}).status);
}

TEST(PeResources, OtherFilesAreNoPrograms) {
    for (const std::string& file :
         {std::string(), std::string("MZ"), std::string("just some text, long enough to hold a header "
                                                         "of sixty-four bytes or more, but no MZ"),
          ReadSourceFile("resources/logo.png")}) {
        EXPECT_EQ(PeLookup::NotAProgram, Find(file, {u"FILES"}, {u"FILES"}).status) << file.substr(0, 8);
    }
    std::string noPe = TinyProgram(kResources);
    noPe[0x40] = 'N';
    EXPECT_EQ(PeLookup::NotAProgram, Find(noPe, {u"FILES"}, {u"FILES"}).status);
    std::string farPe = TinyProgram(kResources);
    tiny_program::Put32(&farPe, 0x3C, 0xFFFFFFF0u);
    EXPECT_EQ(PeLookup::NotAProgram, Find(farPe, {u"FILES"}, {u"FILES"}).status);
}

TEST(PeResources, EveryTruncationIsDamagedOrForeignNeverFound) {
    std::string file = TinyProgram(kResources);
    for (size_t length = 0; length < file.size(); ++length) {
        PeResource r = Find(file.substr(0, length), {u"FILES"}, {u"FILES"});
        ASSERT_NE(PeLookup::Found, r.status) << "cut at " << length;
        ASSERT_NE(PeLookup::Missing, r.status) << "cut at " << length << " is damaged, not just without it";
        ASSERT_FALSE(r.problem.empty());
    }
}

TEST(PeResources, FieldsThatPointOutsideAreDamage) {
    using tiny_program::Put16;
    using tiny_program::Put32;
    const std::string good = TinyProgram(kResources);
    // The root directory with 4 entries ends at 48; the type directories (24 bytes each) follow,
    // then the name directories from 144 (the first one's entry target at 164), then the data
    // entries from 240.
    const size_t rsrc = kTinySectionOffset, optional = 0x40 + 24, section = optional + 224;
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        bool wide;
    };
    const std::vector<Case> cases = {
        {"huge entry count of the root", rsrc + 14, 0xFFFF, false},
        {"type directory beyond the section", rsrc + 16 + 4, 0x80FFFFF0u, true},
        {"name string beyond the section", rsrc + 16, 0x8000FFF0u, true},
        {"third level is a directory again (the root)", rsrc + 164, 0x80000000u, true},
        {"data outside every section", rsrc + 240, 0x7FFFFFF0u, true},
        {"data larger than the section", rsrc + 244, 0x10000000u, true},
        {"resource table outside every section", optional + 96 + 16, 0x90000u, true},
        {"raw data beyond the end of the file", section + 20, 0x100000u, true},
        {"section table beyond the end of the file", 0x40 + 6, 0xFFFF, false},
        {"optional header of no known kind", optional, 0x999, false},
    };
    for (const auto& c : cases) {
        std::string file = good;
        if (c.wide)
            Put32(&file, c.at, c.value);
        else
            Put16(&file, c.at, c.value);
        PeResource r = Find(file, {u"FILES"}, {u"FILES"});
        EXPECT_EQ(PeLookup::Damaged, r.status) << c.what << ": " << Found(file, r);
    }
}

// Whatever bytes are flipped, what the reader reports lies inside the buffer, or it says what is
// wrong. (Whether it reads outside the buffer on the way, the fuzz target fuzz_pe_resources tells
// under AddressSanitizer.)
TEST(PeResources, FlippedBytesNeverReportAPlaceOutsideTheBuffer) {
    const std::string good = TinyProgram(kResources);
    std::mt19937 random(13);
    for (int round = 0; round < 20000; ++round) {
        std::string file = good;
        int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i)
            file[random() % (kTinySectionOffset + 0x100)] ^= static_cast<char>(1 << (random() % 8));
        PeResource r = Find(file, {u"FILES"}, {u"FILES"});
        if (r.status == PeLookup::Found) {
            ASSERT_LE(r.offset, file.size());
            ASSERT_LE(r.size, file.size() - r.offset);
        } else {
            ASSERT_FALSE(r.problem.empty());
        }
    }
}

TEST(PeResources, TheBuiltSetupProgramCarriesThePackedPayload) {
    std::string setup = BuiltFile("tessaron-setup.exe");
    ASSERT_FALSE(setup.empty()) << "build the Windows programs first";
    ASSERT_FALSE(RealPayload().empty());
    EXPECT_EQ(RealPayload(), Found(setup, Find(setup, {u"FILES"}, {u"FILES"})));
    EXPECT_EQ(ReadSourceFile("resources/logo.png"), Found(setup, Find(setup, {u"PNG"}, {u"LOGO"})));
    EXPECT_EQ(ReadSourceFile("resources/MainDlg.form"),
              Found(setup, Find(setup, {u"", 10}, {u"TMAINDLGFORM"})));
    std::string app = BuiltFile("tsd.exe");
    ASSERT_FALSE(app.empty());
    EXPECT_EQ(PeLookup::Missing, Find(app, {u"FILES"}, {u"FILES"}).status);
}

}  // namespace
