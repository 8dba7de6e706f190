// Registry. Results are the Win32 error codes as returned.
#include "platform/win32/wide.h"

namespace plat {

using namespace win32;

namespace {

HKEY K(HKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

int32_t RegCreateKeyExA(HKey root, const std::string& subKey, uint32_t access, HKey* result) {
    HKEY created = nullptr;
    LONG status = ::RegCreateKeyExA(K(root), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    access, nullptr, &created, nullptr);
    if (status == ERROR_SUCCESS) *result = reinterpret_cast<HKey>(created);
    return status;
}

int32_t RegOpenKeyExA(HKey root, const std::string& subKey, uint32_t access, HKey* result) {
    HKEY opened = nullptr;
    LONG status = ::RegOpenKeyExA(K(root), subKey.c_str(), 0, access, &opened);
    if (status == ERROR_SUCCESS) *result = reinterpret_cast<HKey>(opened);
    return status;
}

int32_t RegQueryValueExA(HKey key, const std::string& name, uint32_t* type, void* data,
                         uint32_t* size) {
    DWORD kind = 0, bytes = size ? *size : 0;
    LONG status = ::RegQueryValueExA(K(key), name.c_str(), nullptr, &kind,
                                     static_cast<BYTE*>(data), size ? &bytes : nullptr);
    if (type) *type = kind;
    if (size) *size = bytes;
    return status;
}

int32_t RegQueryValueExW(HKey key, const Wide& name, uint32_t* type, void* data, uint32_t* size) {
    DWORD kind = 0, bytes = size ? *size : 0;
    LONG status = ::RegQueryValueExW(K(key), W(name), nullptr, &kind, static_cast<BYTE*>(data),
                                     size ? &bytes : nullptr);
    if (type) *type = kind;
    if (size) *size = bytes;
    return status;
}

int32_t RegSetValueExA(HKey key, const std::string& name, uint32_t type, const void* data,
                       uint32_t size) {
    return ::RegSetValueExA(K(key), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

int32_t RegSetValueExW(HKey key, const Wide& name, uint32_t type, const void* data, uint32_t size) {
    return ::RegSetValueExW(K(key), W(name), 0, type, static_cast<const BYTE*>(data), size);
}

int32_t RegDeleteValueA(HKey key, const std::string& name) {
    return ::RegDeleteValueA(K(key), name.c_str());
}

int32_t RegDeleteKeyA(HKey root, const std::string& subKey) {
    return ::RegDeleteKeyA(K(root), subKey.c_str());
}

int32_t RegCloseKey(HKey key) { return ::RegCloseKey(K(key)); }

}  // namespace plat
