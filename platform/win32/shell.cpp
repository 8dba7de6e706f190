// Shell: the special-folder lookup, ShellExecuteW, the component services and the shell link
// object.
#include "platform/win32/wide.h"

#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

namespace plat {

using namespace win32;

namespace {

using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
GetFolderPathFn g_getFolderPath = nullptr;

GetFolderPathFn Lookup(const wchar_t* library) {
    HMODULE module = LoadSystemLibrary(library);
    if (!module) return nullptr;
    return reinterpret_cast<GetFolderPathFn>(
        reinterpret_cast<void*>(::GetProcAddress(module, "SHGetFolderPathW")));
}

}  // namespace

bool ResolveSHGetFolderPathW() {
    g_getFolderPath = Lookup(L"shell32.dll");
    if (!g_getFolderPath) g_getFolderPath = Lookup(L"shfolder.dll");
    return g_getFolderPath != nullptr;
}

int32_t SHGetFolderPathW(int csidl, Wide* path) {
    if (!g_getFolderPath) return E_NOTIMPL;
    wchar_t buffer[MAX_PATH + 1] = {};
    HRESULT result = g_getFolderPath(nullptr, csidl, nullptr, 0, buffer);
    if (result == S_OK) *path = FromW(buffer);
    return result;
}

intptr_t ShellExecuteW(const Wide& verb, const Wide& file, const Wide& parameters,
                       const Wide& directory, int showCommand) {
    return reinterpret_cast<intptr_t>(
        ::ShellExecuteW(nullptr, verb.empty() ? nullptr : W(verb), W(file),
                        parameters.empty() ? nullptr : W(parameters),
                        directory.empty() ? nullptr : W(directory), showCommand));
}

int32_t OleInitialize() { return ::OleInitialize(nullptr); }

void OleUninitialize() { ::OleUninitialize(); }

struct ShellLink::Impl {
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
};

ShellLink::ShellLink() : impl_(new Impl) {
    void* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, &link))) {
        impl_->link = static_cast<IShellLinkW*>(link);
    }
}

ShellLink::~ShellLink() {
    if (impl_->file) impl_->file->Release();
    if (impl_->link) impl_->link->Release();
    delete impl_;
}

bool ShellLink::Created() const { return impl_->link != nullptr; }

int32_t ShellLink::SetPath(const Wide& target) {
    return impl_->link ? impl_->link->SetPath(W(target)) : E_POINTER;
}

int32_t ShellLink::SetWorkingDirectory(const Wide& folder) {
    return impl_->link ? impl_->link->SetWorkingDirectory(W(folder)) : E_POINTER;
}

int32_t ShellLink::SetDescription(const Wide& text) {
    return impl_->link ? impl_->link->SetDescription(W(text)) : E_POINTER;
}

bool ShellLink::HasPersistFile() {
    if (impl_->file) return true;
    if (!impl_->link) return false;
    void* file = nullptr;
    if (FAILED(impl_->link->QueryInterface(IID_IPersistFile, &file))) return false;
    impl_->file = static_cast<IPersistFile*>(file);
    return true;
}

int32_t ShellLink::Save(const Wide& linkPath) {
    if (!HasPersistFile()) return E_NOINTERFACE;
    return impl_->file->Save(W(linkPath), TRUE);
}

int32_t ShellLink::Load(const Wide& linkPath) {
    if (!HasPersistFile()) return E_NOINTERFACE;
    return impl_->file->Load(W(linkPath), STGM_READ);
}

Wide ShellLink::GetPath() {
    if (!impl_->link) return Wide();
    wchar_t buffer[1024] = {};
    if (FAILED(impl_->link->GetPath(buffer, 1024, nullptr, 0))) return Wide();
    return FromW(buffer);
}

Wide ShellLink::GetWorkingDirectory() {
    if (!impl_->link) return Wide();
    wchar_t buffer[1024] = {};
    if (FAILED(impl_->link->GetWorkingDirectory(buffer, 1024))) return Wide();
    return FromW(buffer);
}

Wide ShellLink::GetDescription() {
    if (!impl_->link) return Wide();
    wchar_t buffer[1024] = {};
    if (FAILED(impl_->link->GetDescription(buffer, 1024))) return Wide();
    return FromW(buffer);
}

}  // namespace plat
