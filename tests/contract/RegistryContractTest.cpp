// Registry: the saved choices and the uninstall entry are written with the A functions and read
// with A and W; key and value names are compared without case.
#include <cstring>

#include "tests/contract/ContractSupport.h"

namespace contract {
namespace {

using namespace plat;

const char kKey[] = "Software\\TessaronContractTest";
const char kSubKey[] = "Software\\TessaronContractTest\\Sub";

std::string Utf16Le(const Wide& text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

class ContractRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        Clean();
        ASSERT_EQ(RegCreateKeyExA(kHKeyCurrentUser, kKey, kKeyAllAccess, &key_), 0);
    }
    void TearDown() override {
        if (key_) RegCloseKey(key_);
        Clean();
    }
    static void Clean() {
        RegDeleteKeyA(kHKeyCurrentUser, kSubKey);
        RegDeleteKeyA(kHKeyCurrentUser, kKey);
    }
    HKey key_ = 0;
};

TEST_F(ContractRegistry, AnsiStringIsStoredAsUtf16WithItsNul) {
    const char text[] = "C:\\Caf\xe9";  // code page 1252
    ASSERT_EQ(RegSetValueExA(key_, "MAINDIR", kRegSz, text, sizeof text), 0);

    uint32_t type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExW(key_, u"maindir", &type, nullptr, &size), 0);
    EXPECT_EQ(type, kRegSz);
    Wide expected = Wide(u"C:\\Caf\u00e9") + u'\0';
    ASSERT_EQ(size, expected.size() * 2);
    std::string data(size, '\0');
    ASSERT_EQ(RegQueryValueExW(key_, u"MainDir", &type, &data[0], &size), 0);
    EXPECT_EQ(data, Utf16Le(expected));
}

TEST_F(ContractRegistry, AnsiQueryGivesSizeThenData) {
    const char text[] = "Caf\xe9 au lait";
    ASSERT_EQ(RegSetValueExA(key_, "UILANG", kRegSz, text, sizeof text), 0);

    uint32_t type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(key_, "uilang", &type, nullptr, &size), 0);
    EXPECT_EQ(size, sizeof text);
    char small[4];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key_, "UILANG", &type, small, &size), static_cast<int32_t>(kErrorMoreData));
    EXPECT_EQ(size, sizeof text) << "the needed size is given back";
    char buffer[64] = {};
    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key_, "UILANG", &type, buffer, &size), 0);
    EXPECT_EQ(size, sizeof text);
    EXPECT_EQ(std::memcmp(buffer, text, sizeof text), 0);
}

TEST_F(ContractRegistry, WideStringIsReadBackThroughTheAnsiFunction) {
    Wide text = Wide(u"D\u00e9j\u00e0 vu") + u'\0';
    ASSERT_EQ(RegSetValueExW(key_, u"Display", kRegSz, text.data(),
                             static_cast<uint32_t>(text.size() * 2)), 0);
    char buffer[64] = {};
    uint32_t type = 0, size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key_, "DISPLAY", &type, buffer, &size), 0);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(std::string(buffer, size), std::string("D\xe9j\xe0 vu", 7) + '\0');
}

TEST_F(ContractRegistry, NumbersAndMissingValues) {
    uint32_t number = 0x12345678;
    ASSERT_EQ(RegSetValueExA(key_, "EstimatedSize", kRegDword, &number, 4), 0);
    uint32_t type = 0, read = 0, size = 4;
    ASSERT_EQ(RegQueryValueExA(key_, "estimatedsize", &type, &read, &size), 0);
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(read, number);

    size = 4;
    EXPECT_EQ(RegQueryValueExA(key_, "Missing", &type, &read, &size),
              static_cast<int32_t>(kErrorFileNotFound));
    EXPECT_EQ(RegQueryValueExW(key_, u"Missing", &type, nullptr, &size),
              static_cast<int32_t>(kErrorFileNotFound));

    EXPECT_EQ(RegDeleteValueA(key_, "ESTIMATEDSIZE"), 0);
    EXPECT_EQ(RegQueryValueExA(key_, "EstimatedSize", &type, nullptr, &size),
              static_cast<int32_t>(kErrorFileNotFound));
    EXPECT_EQ(RegDeleteValueA(key_, "EstimatedSize"), static_cast<int32_t>(kErrorFileNotFound));
}

TEST_F(ContractRegistry, KeysOpenInAnyCaseAndAreDeletedInnermostFirst) {
    HKey opened = 0;
    EXPECT_EQ(RegOpenKeyExA(kHKeyCurrentUser, "SOFTWARE\\tessaroncontracttest", kKeyRead, &opened), 0);
    RegCloseKey(opened);
    EXPECT_EQ(RegOpenKeyExA(kHKeyCurrentUser, kSubKey, kKeyRead, &opened),
              static_cast<int32_t>(kErrorFileNotFound));

    HKey sub = 0;
    ASSERT_EQ(RegCreateKeyExA(kHKeyCurrentUser, kSubKey, kKeyAllAccess, &sub), 0);
    EXPECT_EQ(RegCloseKey(sub), 0);
    EXPECT_NE(RegDeleteKeyA(kHKeyCurrentUser, kKey), 0) << "a key with a sub-key stays";
    EXPECT_EQ(RegDeleteKeyA(kHKeyCurrentUser, kSubKey), 0);
    EXPECT_EQ(RegCloseKey(key_), 0);
    key_ = 0;
    EXPECT_EQ(RegDeleteKeyA(kHKeyCurrentUser, kKey), 0);
    EXPECT_EQ(RegOpenKeyExA(kHKeyCurrentUser, kKey, kKeyRead, &opened),
              static_cast<int32_t>(kErrorFileNotFound));
}

TEST_F(ContractRegistry, ValuesSurviveReopeningTheKey) {
    const char text[] = "kept";
    ASSERT_EQ(RegSetValueExA(key_, "Kept", kRegSz, text, sizeof text), 0);
    ASSERT_EQ(RegCloseKey(key_), 0);
    key_ = 0;
    HKey opened = 0;
    ASSERT_EQ(RegOpenKeyExA(kHKeyCurrentUser, kKey, kKeyRead, &opened), 0);
    char buffer[16] = {};
    uint32_t type = 0, size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(opened, "KEPT", &type, buffer, &size), 0);
    EXPECT_STREQ(buffer, "kept");
    EXPECT_EQ(RegCloseKey(opened), 0);
}

}  // namespace
}  // namespace contract
