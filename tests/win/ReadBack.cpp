// Reads back what an installation left, through the same Windows interfaces, and prints it as
// UTF-8 lines for the Wine tests to compare:
//   read_back link PATH            target=, workdir=, description= of a shortcut
//   read_back reg HKCU|HKLM KEY NAME...
//                                        NAME=<type> <value> for each value (REG_SZ as text,
//                                        with "(no nul)" when the terminating nul is missing;
//                                        REG_DWORD as a decimal number); NAME=missing
//   read_back key HKCU|HKLM KEY    exists / missing
//   read_back running              "yes: <window title>" / "no": a window carries the
//                                        application's mark
//   read_back version PATH         fixed=<file version> <product version>, then NAME=<text> for
//                                        each string of the program's version resource, as
//                                        GetFileVersionInfoW and VerQueryValueW give them
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "base/Utf8.h"
#include "platform/platform.h"
#include "wizard/engine/AppRunning.h"

namespace {

plat::HKey Root(const plat::Wide& name) {
    return name == u"HKLM" ? plat::kHKeyLocalMachine : plat::kHKeyCurrentUser;
}

int Link(const plat::Wide& path) {
    plat::OleInitialize();
    plat::ShellLink link;
    if (!link.Created() || !link.HasPersistFile() || link.Load(path) != 0) {
        std::printf("cannot load %s\n", Utf8Of(path).c_str());
        return 1;
    }
    std::printf("target=%s\nworkdir=%s\ndescription=%s\n", Utf8Of(link.GetPath()).c_str(),
                Utf8Of(link.GetWorkingDirectory()).c_str(), Utf8Of(link.GetDescription()).c_str());
    return 0;
}

int Values(const std::vector<plat::Wide>& args) {
    plat::HKey key = 0;
    if (plat::RegOpenKeyExA(Root(args[1]), Utf8Of(args[2]), plat::kKeyRead, &key) != 0) {
        std::printf("key missing\n");
        return 1;
    }
    for (size_t i = 3; i < args.size(); ++i) {
        std::string name = Utf8Of(args[i]);
        uint32_t type = 0, size = 0;
        if (plat::RegQueryValueExW(key, args[i], &type, nullptr, &size) != 0) {
            std::printf("%s=missing\n", name.c_str());
            continue;
        }
        std::vector<uint8_t> data(size + 2, 0);
        plat::RegQueryValueExW(key, args[i], &type, data.data(), &size);
        if (type == plat::kRegSz) {
            plat::Wide text;
            for (uint32_t b = 0; b + 1 < size; b += 2) text += static_cast<char16_t>(data[b] | data[b + 1] << 8);
            bool terminated = !text.empty() && text.back() == u'\0';
            if (terminated) text.pop_back();
            std::printf("%s=REG_SZ %s%s\n", name.c_str(), Utf8Of(text).c_str(), terminated ? "" : " (no nul)");
        } else if (type == plat::kRegDword && size == 4) {
            uint32_t v = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
            std::printf("%s=REG_DWORD %u\n", name.c_str(), v);
        } else {
            std::printf("%s=type %u, %u bytes\n", name.c_str(), type, size);
        }
    }
    plat::RegCloseKey(key);
    return 0;
}

int Version(const plat::Wide& path) {
    std::wstring file(path.begin(), path.end());
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    std::vector<uint8_t> block(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, block.data())) {
        std::printf("no version resource (error %lu)\n", static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        std::printf("fixed=%lu.%lu.%lu.%lu %lu.%lu.%lu.%lu\n", fixed->dwFileVersionMS >> 16,
                    fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
                    fixed->dwFileVersionLS & 0xFFFF, fixed->dwProductVersionMS >> 16,
                    fixed->dwProductVersionMS & 0xFFFF, fixed->dwProductVersionLS >> 16,
                    fixed->dwProductVersionLS & 0xFFFF);
    for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"LegalCopyright",
                                L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        wchar_t* text = nullptr;
        bool found = VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) && text;
        plat::Wide value = found ? plat::Wide(reinterpret_cast<const char16_t*>(text)) : u"(missing)";
        std::printf("%s=%s\n", Utf8Of(plat::Wide(name, name + wcslen(name))).c_str(), Utf8Of(value).c_str());
    }
    return 0;
}

}  // namespace

int main() {
    std::vector<plat::Wide> args = ProgramArguments();
    if (args.size() == 2 && args[0] == u"link") return Link(args[1]);
    if (args.size() >= 4 && args[0] == u"reg") return Values(args);
    if (args.size() == 3 && args[0] == u"key") {
        plat::HKey key = 0;
        bool exists = plat::RegOpenKeyExA(Root(args[1]), Utf8Of(args[2]), plat::kKeyRead, &key) == 0;
        if (exists) plat::RegCloseKey(key);
        std::printf("%s\n", exists ? "exists" : "missing");
        return 0;
    }
    if (args.size() == 2 && args[0] == u"version") return Version(args[1]);
    if (args.size() == 1 && args[0] == u"running") {
        std::string title;
        bool running = false;
        plat::EnumWindows([&](plat::WindowHandle window) {
            if (plat::GetPropW(window, kRunningMark) == 0) return true;
            wchar_t text[256] = {};
            GetWindowTextW(reinterpret_cast<HWND>(window), text, 255);
            title = Utf8Of(plat::Wide(reinterpret_cast<const char16_t*>(text)));
            running = true;
            return false;
        });
        std::printf("%s\n", running ? ("yes: " + title).c_str() : "no");
        return 0;
    }
    std::printf("usage: read_back link PATH | reg HKCU|HKLM KEY NAME... | key HKCU|HKLM KEY | running | version PATH\n");
    return 2;
}
