// Process state of the fake: last error, command line, program file and its resources.
#include "platform/fake/state.h"

namespace {

// FindResourceA compares string names and types without case; "#n" ids are kept as they are.
std::string ResourceKey(const std::string& text) {
    std::string key = text;
    for (auto& c : key) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
    }
    return key;
}

}  // namespace

namespace plat {

using namespace fake::detail;

namespace {

constexpr uint32_t kErrorResourceTypeNotFound = 1813;
constexpr uint32_t kErrorResourceNameNotFound = 1814;
constexpr char kGroupIconType[] = "#14";  // RT_GROUP_ICON

const std::string* FindResource(const std::string& type, const std::string& name) {
    const auto& resources = M().resources;
    auto it = resources.find({ResourceKey(type), ResourceKey(name)});
    if (it != resources.end()) return &it->second;
    bool typeKnown = false;
    for (const auto& entry : resources) typeKnown |= entry.first.first == ResourceKey(type);
    Fail(typeKnown ? kErrorResourceNameNotFound : kErrorResourceTypeNotFound);
    return nullptr;
}

}  // namespace

uint32_t GetLastError() { return M().lastError; }

void SetLastError(uint32_t code) { M().lastError = code; }

Wide GetCommandLineW() { return M().commandLine; }

Wide GetModuleFileNameW() { return M().moduleFileName; }

// The fake loads no libraries by name: there is nothing to restrict.
bool RestrictLibrarySearch() { return true; }

Wide GetEnvironmentVariableW(const Wide& name) {
    auto it = M().environment.find(Upper(name));
    if (it == M().environment.end()) {
        Fail(203);  // ERROR_ENVVAR_NOT_FOUND
        return Wide();
    }
    return it->second;
}

bool LoadOwnResource(const char* type, const char* name, const void** data, uint32_t* size) {
    const std::string* bytes = FindResource(type, name);
    if (!bytes) return false;
    *data = bytes->data();
    *size = static_cast<uint32_t>(bytes->size());
    return true;
}

IconHandle LoadIconW(int resourceId) {
    if (!FindResource(kGroupIconType, "#" + std::to_string(resourceId))) return 0;
    return static_cast<IconHandle>(0x10000 + resourceId);
}

}  // namespace plat

namespace fake {

using namespace detail;

void SetCommandLine(const Wide& commandLine) { M().commandLine = commandLine; }

void SetModuleFileName(const Wide& path) { M().moduleFileName = path; }

void SetResource(const std::string& type, const std::string& name, const std::string& bytes) {
    M().resources[{ResourceKey(type), ResourceKey(name)}] = bytes;
}

void ClearResources() { M().resources.clear(); }

}  // namespace fake

namespace fake {

using namespace detail;

void SetEnvironmentVariable(const Wide& name, const Wide& value) {
    if (value.empty()) M().environment.erase(Upper(name));
    else M().environment[Upper(name)] = value;
}

}  // namespace fake
