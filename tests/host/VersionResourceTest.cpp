// The version resource of both built programs, read back from the files as Windows reads it
// (Explorer's properties, installers, inventory tools): the fixed numbers, the string table and
// the translation, all agreeing with the product facts.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "base/Utf8.h"
#include "resources/Product.h"
#include "tools/packer/PeResources.h"

namespace {

// One node of a VS_VERSIONINFO tree: length, value length, type, key, value, children.
struct VersionNode {
    std::string key;
    std::string value;  // the text of a text value; the raw bytes otherwise
    bool text = false;
    std::vector<VersionNode> children;
};

uint32_t U16(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8;
}
uint32_t U32(const std::string& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

size_t Align4(size_t at) { return (at + 3) & ~size_t{3}; }

// Parses the node at offset "at"; false when it runs out of its parent.
bool ParseNode(const std::string& b, size_t at, size_t end, VersionNode* node) {
    if (at + 6 > end) return false;
    size_t length = U16(b, at), valueLength = U16(b, at + 2);
    node->text = U16(b, at + 4) == 1;
    if (length < 6 || at + length > end) return false;
    size_t nodeEnd = at + length, p = at + 6;
    std::u16string key;
    for (; p + 1 < nodeEnd && U16(b, p) != 0; p += 2) key += static_cast<char16_t>(U16(b, p));
    node->key = Utf8Of(key);
    p = Align4(p + 2);
    size_t valueBytes = node->text ? 2 * valueLength : valueLength;
    if (p + valueBytes > nodeEnd) return false;
    if (node->text) {
        std::u16string text;
        for (size_t i = 0; i < valueLength; ++i) text += static_cast<char16_t>(U16(b, p + 2 * i));
        while (!text.empty() && text.back() == u'\0') text.pop_back();
        node->value = Utf8Of(text);
    } else {
        node->value = b.substr(p, valueBytes);
    }
    for (p = Align4(p + valueBytes); p < nodeEnd; p = Align4(p)) {
        VersionNode child;
        if (!ParseNode(b, p, nodeEnd, &child)) return false;
        p += U16(b, p);
        node->children.push_back(child);
    }
    return true;
}

const VersionNode* Child(const VersionNode& node, const std::string& key) {
    for (const auto& c : node.children)
        if (c.key == key) return &c;
    return nullptr;
}

struct Program {
    const char* file;
    const char* description;
};

TEST(VersionResource, BothProgramsCarryTheProductsVersionAndNames) {
    for (const Program& program : {Program{"tessaron-setup.exe", "Tessaron Word Processor Setup"},
                                   Program{"tsd.exe", "Tessaron Word Processor"}}) {
        SCOPED_TRACE(program.file);
        std::ifstream in(std::string(TSD_WIN_BUILD_DIR) + "/" + program.file, std::ios::binary);
        std::stringstream read;
        read << in.rdbuf();
        const std::string file = read.str();
        ASSERT_FALSE(file.empty()) << "build the Windows programs first";
        PeResource found = FindPeResource(reinterpret_cast<const uint8_t*>(file.data()), file.size(),
                                          {u"", 16}, {u"", 1});
        ASSERT_EQ(PeLookup::Found, found.status) << found.problem;
        const std::string block = file.substr(found.offset, found.size);

        VersionNode root;
        ASSERT_TRUE(ParseNode(block, 0, block.size(), &root));
        EXPECT_EQ("VS_VERSION_INFO", root.key);
        ASSERT_EQ(52u, root.value.size()) << "a VS_FIXEDFILEINFO";
        const std::string& fixed = root.value;
        EXPECT_EQ(0xFEEF04BDu, U32(fixed, 0));
        EXPECT_EQ((4u << 16) | 4u, U32(fixed, 8)) << "file version 4.4";
        EXPECT_EQ((3u << 16) | 8u, U32(fixed, 12)) << "file version .3.8";
        EXPECT_EQ((4u << 16) | 4u, U32(fixed, 16)) << "product version 4.4";
        EXPECT_EQ((3u << 16) | 8u, U32(fixed, 20)) << "product version .3.8";
        EXPECT_EQ(0u, U32(fixed, 28)) << "no flags: a release, not a debug or pre-release build";
        EXPECT_EQ(0x40004u, U32(fixed, 32)) << "VOS_NT_WINDOWS32";
        EXPECT_EQ(1u, U32(fixed, 36)) << "VFT_APP";
        EXPECT_EQ(0u, U32(fixed, 44) | U32(fixed, 48)) << "no date: the build is reproducible";

        const VersionNode* strings = Child(root, "StringFileInfo");
        ASSERT_NE(nullptr, strings);
        const VersionNode* table = Child(*strings, "040904B0");
        ASSERT_NE(nullptr, table) << "US English, Unicode";
        std::map<std::string, std::string> values;
        for (const auto& s : table->children) {
            EXPECT_TRUE(s.text) << s.key;
            values[s.key] = s.value;
        }
        std::string original = program.file;
        EXPECT_EQ((std::map<std::string, std::string>{
                      {"CompanyName", "The Tessaron Word Processor Team"},
                      {"FileDescription", program.description},
                      {"FileVersion", "4.4.3.8"},
                      {"InternalName", original},
                      {"LegalCopyright", TSD_COPYRIGHT},
                      {"OriginalFilename", original},
                      {"ProductName", "Tessaron Word Processor"},
                      {"ProductVersion", "4.4.3.8"},
                  }),
                  values);
        const VersionNode* vars = Child(root, "VarFileInfo");
        ASSERT_NE(nullptr, vars);
        const VersionNode* translation = Child(*vars, "Translation");
        ASSERT_NE(nullptr, translation);
        EXPECT_EQ(std::string("\x09\x04\xB0\x04", 4), translation->value) << "0x409, code page 1200";
    }
    // The numbers and the text of the version are two spellings of one release.
    EXPECT_STREQ("4.4.3.8", TSD_VERSION);
}

}  // namespace
