// The built Windows programs read back as Windows' binary checkers and the loader read them: the
// header flags (ASLR, DEP, no SEH, terminal-server aware), the Windows 7 subsystem and OS
// version, imports of system libraries only (the runtime and the stack protector are linked in),
// the stack protector itself, the absence of run-time type information, and each program's
// manifest.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/packer/PeResources.h"

namespace {

constexpr uint32_t kDynamicBase = 0x40;
constexpr uint32_t kNxCompat = 0x100;
constexpr uint32_t kNoSeh = 0x400;
constexpr uint32_t kTerminalServerAware = 0x8000;
constexpr uint32_t kRelocsStripped = 0x1;
constexpr uint32_t kPe32Magic = 0x10B;
constexpr uint32_t kGuiSubsystem = 2;
constexpr int kImportDirectory = 1;
constexpr int kBaseRelocationDirectory = 5;

std::string ReadProgram(const std::string& name, const char* build = TSD_WIN_BUILD_DIR) {
    std::ifstream in(std::string(build) + "/" + name, std::ios::binary);
    std::stringstream read;
    read << in.rdbuf();
    return read.str();
}

struct Section {
    std::string name;
    uint32_t address = 0, virtualSize = 0, rawSize = 0, rawOffset = 0;
};

struct Directory {
    uint32_t address = 0, size = 0;
};

// The headers of a 32-bit program. Every read is checked: a broken file fails the test, it does
// not crash it.
class Program {
public:
    Program() = default;
    explicit Program(std::string bytes) : b_(std::move(bytes)) {}

    // False with a reason when the headers cannot be read.
    bool Parse(std::string* problem) {
        if (!Has(0x40) || b_.compare(0, 2, "MZ") != 0) return Fail(problem, "no MZ header");
        size_t pe = U32(0x3C);
        if (!Has(pe + 24) || b_.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
            return Fail(problem, "no PE signature");
        size_t coff = pe + 4;
        sections_.resize(U16(coff + 2));
        symbolTable = U32(coff + 8);
        symbolCount = U32(coff + 12);
        size_t optionalSize = U16(coff + 16);
        characteristics = U16(coff + 18);
        optional_ = coff + 20;
        if (optionalSize < 96 || !Has(optional_ + optionalSize)) return Fail(problem, "short header");
        if (U16(optional_) != kPe32Magic) return Fail(problem, "not a 32-bit program");
        osVersion = {U16(optional_ + 40), U16(optional_ + 42)};
        subsystemVersion = {U16(optional_ + 48), U16(optional_ + 50)};
        subsystem = U16(optional_ + 68);
        dllCharacteristics = U16(optional_ + 70);
        uint32_t directoryCount = U32(optional_ + 92);
        if (96 + 8ull * directoryCount > optionalSize) return Fail(problem, "short directories");
        for (uint32_t i = 0; i < directoryCount && i < 16; ++i)
            directories_[i] = {U32(optional_ + 96 + 8 * i), U32(optional_ + 100 + 8 * i)};
        size_t table = optional_ + optionalSize;
        if (!Has(table + 40 * sections_.size())) return Fail(problem, "short section table");
        for (size_t i = 0; i < sections_.size(); ++i) {
            size_t at = table + 40 * i;
            Section& s = sections_[i];
            s.name = b_.substr(at, 8).c_str();
            s.virtualSize = U32(at + 8);
            s.address = U32(at + 12);
            s.rawSize = U32(at + 16);
            s.rawOffset = U32(at + 20);
            if (!Has(size_t{s.rawOffset} + s.rawSize)) return Fail(problem, "section past the end");
        }
        return true;
    }

    Directory DataDirectory(int index) const { return directories_[index]; }

    const Section* SectionNamed(const std::string& name) const {
        for (const Section& s : sections_)
            if (s.name == name) return &s;
        return nullptr;
    }

    // The names of the imported libraries, lower-cased; false when the table cannot be read.
    bool ImportedLibraries(std::vector<std::string>* names) const {
        Directory imports = directories_[kImportDirectory];
        if (imports.address == 0) return true;
        for (uint32_t rva = imports.address;; rva += 20) {
            size_t at;
            if (!Offset(rva, 20, &at)) return false;
            uint32_t nameRva = U32(at + 12);
            if (nameRva == 0 && U32(at + 16) == 0) return true;
            size_t name;
            if (!Offset(nameRva, 1, &name)) return false;
            std::string text = b_.c_str() + name;
            for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            names->push_back(text);
        }
    }

    // The defined symbols of the COFF symbol table (only an unstripped program has one).
    std::set<std::string> DefinedSymbols() const {
        std::set<std::string> symbols;
        size_t strings = size_t{symbolTable} + 18ull * symbolCount;
        if (symbolTable == 0 || !Has(strings + 4)) return symbols;
        for (uint32_t i = 0; i < symbolCount; ++i) {
            size_t at = symbolTable + 18ull * i;
            int16_t sectionNumber = static_cast<int16_t>(U16(at + 12));
            std::string name;
            if (U32(at) == 0) {
                size_t offset = strings + U32(at + 4);
                if (offset < b_.size()) name = b_.c_str() + offset;
            } else {
                name = b_.substr(at, 8).c_str();
            }
            if (sectionNumber > 0) symbols.insert(name);
            i += static_cast<uint8_t>(b_[at + 17]);  // auxiliary records
        }
        return symbols;
    }

    // The bytes of a section as stored in the file.
    std::string Bytes(const Section& s) const {
        return b_.substr(s.rawOffset, std::min(s.rawSize, s.virtualSize));
    }

    uint32_t characteristics = 0, dllCharacteristics = 0, subsystem = 0;
    std::pair<uint32_t, uint32_t> osVersion, subsystemVersion;
    uint32_t symbolTable = 0, symbolCount = 0;

private:
    bool Has(size_t end) const { return end <= b_.size(); }
    uint32_t U16(size_t at) const {
        return static_cast<uint8_t>(b_[at]) | static_cast<uint8_t>(b_[at + 1]) << 8;
    }
    uint32_t U32(size_t at) const { return U16(at) | U16(at + 2) << 16; }
    static bool Fail(std::string* problem, const char* why) {
        *problem = why;
        return false;
    }
    bool Offset(uint32_t rva, uint32_t length, size_t* offset) const {
        for (const Section& s : sections_) {
            if (rva < s.address || rva - s.address >= s.rawSize) continue;
            if (length > s.rawSize - (rva - s.address)) return false;
            *offset = s.rawOffset + (rva - s.address);
            return true;
        }
        return false;
    }

    std::string b_;
    size_t optional_ = 0;
    std::vector<Section> sections_;
    Directory directories_[16];
};

// The program from the Windows build, its headers read.
void LoadProgram(const char* name, Program* program) {
    *program = Program(ReadProgram(name));
    std::string problem;
    ASSERT_TRUE(program->Parse(&problem)) << problem << " (build the Windows programs first)";
}

// Both programs as shipped, and the unstripped test copy of the setup program.
const char* const kPrograms[] = {"tessaron-setup.exe", "tsd.exe", "tessaron-setup-damaged.exe"};

TEST(ProgramHardening, HeadersCarryTheFlagsAndVersionsWindowsChecks) {
    for (const char* name : kPrograms) {
        SCOPED_TRACE(name);
        Program program;
        ASSERT_NO_FATAL_FAILURE(LoadProgram(name, &program));
        EXPECT_EQ(kGuiSubsystem, program.subsystem);
        uint32_t flags = program.dllCharacteristics;
        EXPECT_EQ(kDynamicBase, flags & kDynamicBase) << "ASLR";
        EXPECT_EQ(kNxCompat, flags & kNxCompat) << "DEP";
        EXPECT_EQ(kNoSeh, flags & kNoSeh) << "no SEH handler, hence no SafeSEH table needed";
        EXPECT_EQ(kTerminalServerAware, flags & kTerminalServerAware);
        // ASLR moves only an image that keeps its relocations.
        EXPECT_EQ(0u, program.characteristics & kRelocsStripped);
        EXPECT_NE(0u, program.DataDirectory(kBaseRelocationDirectory).size) << "no .reloc";
        EXPECT_EQ(std::make_pair(6u, 1u), program.subsystemVersion);
        EXPECT_EQ(std::make_pair(6u, 1u), program.osVersion);
    }
}

TEST(ProgramHardening, NoCodeRegistersAnSehHandler) {
    // An SEH frame is linked in by storing to fs:[0], the head of the thread's handler chain:
    // "mov fs:[0], eax" (64 A3 00000000) or "mov fs:[0], reg" (64 89 /r with a 32-bit
    // displacement of 0). With NO_SEH declared, Windows would refuse to call such a handler.
    for (const char* name : kPrograms) {
        SCOPED_TRACE(name);
        Program program;
        ASSERT_NO_FATAL_FAILURE(LoadProgram(name, &program));
        const Section* text = program.SectionNamed(".text");
        ASSERT_NE(nullptr, text);
        const std::string code = program.Bytes(*text);
        const std::string zero(4, '\0');
        for (size_t at = code.find('\x64'); at != std::string::npos; at = code.find('\x64', at + 1)) {
            bool storeEax = code.compare(at + 1, 1, "\xA3") == 0 && code.compare(at + 2, 4, zero) == 0;
            bool storeReg = at + 7 <= code.size() && code[at + 1] == '\x89' &&
                            (static_cast<uint8_t>(code[at + 2]) & 0xC7) == 0x05 &&
                            code.compare(at + 3, 4, zero) == 0;
            EXPECT_FALSE(storeEax || storeReg) << "a store to fs:[0] at .text+" << at;
        }
    }
}

TEST(ProgramHardening, ImportsOnlySystemLibraries) {
    // The runtime libraries of the cross compiler (libgcc, libstdc++, libssp for the stack
    // protector, libwinpthread) are all named lib*.dll; no Windows library is.
    for (const char* name : kPrograms) {
        SCOPED_TRACE(name);
        Program program;
        ASSERT_NO_FATAL_FAILURE(LoadProgram(name, &program));
        std::vector<std::string> libraries;
        ASSERT_TRUE(program.ImportedLibraries(&libraries)) << "unreadable import table";
        EXPECT_FALSE(libraries.empty());
        for (const std::string& library : libraries) {
            EXPECT_NE(0u, library.rfind("lib", 0)) << "imports " << library;
            EXPECT_EQ(std::string::npos, library.find("ssp")) << "imports " << library;
        }
    }
}

TEST(ProgramHardening, StackProtectorIsLinkedIn) {
    // The shipped programs are stripped; the test copy is the same code with its symbols.
    Program program;
    ASSERT_NO_FATAL_FAILURE(LoadProgram("tessaron-setup-damaged.exe", &program));
    std::set<std::string> symbols = program.DefinedSymbols();
    ASSERT_FALSE(symbols.empty()) << "the test copy keeps its symbol table";
    EXPECT_EQ(1u, symbols.count("___stack_chk_fail"));
    EXPECT_EQ(1u, symbols.count("___stack_chk_guard"));
}

TEST(ProgramHardening, NoRunTimeTypeInformationIsLinkedIn) {
    // Type objects ("__ZTI"), their names ("__ZTS") and the runtime's cast would be there if any
    // part were compiled with it; the classes answer for their own class instead.
    Program program;
    ASSERT_NO_FATAL_FAILURE(LoadProgram("tessaron-setup-damaged.exe", &program));
    std::set<std::string> symbols = program.DefinedSymbols();
    ASSERT_FALSE(symbols.empty()) << "the test copy keeps its symbol table";
    for (const std::string& symbol : symbols) {
        EXPECT_NE(0u, symbol.rfind("__ZTI", 0)) << symbol;
        EXPECT_NE(0u, symbol.rfind("__ZTS", 0)) << symbol;
    }
    EXPECT_EQ(0u, symbols.count("___dynamic_cast"));
}

std::string Manifest(const std::string& name, const char* build = TSD_WIN_BUILD_DIR) {
    const std::string file = ReadProgram(name, build);
    PeResource found = FindPeResource(reinterpret_cast<const uint8_t*>(file.data()), file.size(),
                                      {u"", 24}, {u"", 1});  // RT_MANIFEST, id 1
    if (found.status != PeLookup::Found) return "";
    return file.substr(found.offset, found.size);
}

// The attribute's value in the first element of that name, "" when there is none.
std::string Attribute(const std::string& xml, const std::string& element,
                      const std::string& attribute) {
    std::smatch m;
    std::regex pattern("<" + element + "\\b[^>]*\\b" + attribute + "=\"([^\"]*)\"");
    return std::regex_search(xml, m, pattern) ? m[1].str() : "";
}

TEST(ProgramHardening, BothProgramsCarryTheirManifest) {
    // Windows 7, 8, 8.1 and 10/11: without these the program runs in a compatibility context.
    const std::set<std::string> systems = {
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"};
    struct Expected {
        const char* program;
        const char* level;
    };
    // The setup program asks for the user's highest rights; the application runs as started.
    for (const Expected& e : {Expected{"tessaron-setup.exe", "highestAvailable"},
                              Expected{"tsd.exe", "asInvoker"}}) {
        SCOPED_TRACE(e.program);
        const std::string xml = Manifest(e.program);
        ASSERT_FALSE(xml.empty()) << "no manifest resource 1";
        EXPECT_EQ(e.level, Attribute(xml, "requestedExecutionLevel", "level"));
        EXPECT_EQ("false", Attribute(xml, "requestedExecutionLevel", "uiAccess"));
        std::smatch controls;
        ASSERT_TRUE(std::regex_search(
            xml, controls,
            std::regex("<assemblyIdentity\\b[^>]*name=\"Microsoft.Windows.Common-Controls\"[^>]*>")));
        EXPECT_EQ("6.0.0.0", Attribute(controls[0].str(), "assemblyIdentity", "version"));
        EXPECT_EQ("6595b64144ccf1df",
                  Attribute(controls[0].str(), "assemblyIdentity", "publicKeyToken"));
        EXPECT_EQ("x86", Attribute(xml, "assemblyIdentity", "processorArchitecture"));
        EXPECT_EQ("x86", Attribute(controls[0].str(), "assemblyIdentity", "processorArchitecture"));
        EXPECT_TRUE(std::regex_search(xml, std::regex("<dpiAware\\b[^>]*>\\s*true\\s*</dpiAware>")));
        if (std::string(e.program) == "tessaron-setup.exe") {
            // The wizard lays itself out again when moved to a monitor of another DPI.
            EXPECT_TRUE(std::regex_search(
                xml, std::regex("<dpiAwareness\\b[^>]*>\\s*PerMonitorV2\\b[^<]*</dpiAwareness>")));
        }
        std::set<std::string> supported;
        std::regex os("<supportedOS\\s+Id=\"([^\"]*)\"");
        for (auto it = std::sregex_iterator(xml.begin(), xml.end(), os); it != std::sregex_iterator();
             ++it)
            supported.insert((*it)[1].str());
        EXPECT_EQ(systems, supported);
    }
}

// The 64-bit build: 64-bit images (machine AMD64, PE32+) with the same hardening, ASLR above
// 4 GB too, and manifests that name amd64 for the program and for the common controls: Windows
// refuses to start a 64-bit program that asks for the x86 assembly.
TEST(ProgramHardening, The64BitBuildIsA64BitProgramWithItsOwnManifests) {
    constexpr uint16_t kMachineAmd64 = 0x8664, kPe32PlusMagic = 0x20B;
    constexpr uint16_t kHighEntropyVa = 0x20, kDynamicBase = 0x40, kNxCompat = 0x100,
                       kTerminalServerAware = 0x8000;
    for (const char* name : {"tessaron-setup.exe", "tsd.exe"}) {
        SCOPED_TRACE(name);
        const std::string b = ReadProgram(name, TSD_WIN64_BUILD_DIR);
        ASSERT_GE(b.size(), 0x200u) << "no 64-bit build of " << name;
        auto u16 = [&](size_t at) { return static_cast<uint16_t>(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); };
        size_t pe = uint8_t(b[0x3C]) | uint8_t(b[0x3D]) << 8 | uint8_t(b[0x3E]) << 16;
        ASSERT_LT(pe + 24 + 72, b.size());
        EXPECT_EQ(kMachineAmd64, u16(pe + 4));
        size_t optional = pe + 24;
        EXPECT_EQ(kPe32PlusMagic, u16(optional));
        uint16_t flags = u16(optional + 70);
        for (uint16_t flag : {kHighEntropyVa, kDynamicBase, kNxCompat, kTerminalServerAware})
            EXPECT_EQ(flag, flags & flag) << std::hex << "DllCharacteristics " << flags;

        const std::string xml = Manifest(name, TSD_WIN64_BUILD_DIR);
        ASSERT_FALSE(xml.empty()) << "no manifest resource 1";
        EXPECT_EQ("amd64", Attribute(xml, "assemblyIdentity", "processorArchitecture"));
        std::smatch controls;
        ASSERT_TRUE(std::regex_search(
            xml, controls,
            std::regex("<assemblyIdentity\\b[^>]*name=\"Microsoft.Windows.Common-Controls\"[^>]*>")));
        EXPECT_EQ("amd64", Attribute(controls[0].str(), "assemblyIdentity", "processorArchitecture"));
        EXPECT_EQ(std::string::npos, xml.find("\"x86\""));
    }
}

}  // namespace
