// Elevation: whether the process runs elevated, starting a program elevated and waiting for it,
// and starting a program as the signed-in user through the desktop's shell.
#include "platform/win32/wide.h"

#include <exdisp.h>
#include <objbase.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>

namespace plat {

using namespace win32;

namespace {

// Owns one COM interface pointer.
template <class T>
class TComPtr {
public:
    TComPtr() = default;
    ~TComPtr() {
        if (p_) p_->Release();
    }
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    T** Receive() { return &p_; }
    void** ReceiveVoid() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

// The automation strings' allocator, loaded only when the desktop's shell is asked: the program
// does not import it, so a silent run never loads it.
using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);
using SysFreeStringFn = void(WINAPI*)(BSTR);
SysAllocStringFn g_sysAllocString = nullptr;
SysFreeStringFn g_sysFreeString = nullptr;

bool LoadAutomationStrings() {
    if (g_sysAllocString && g_sysFreeString) return true;
    HMODULE module = LoadSystemLibrary(L"oleaut32.dll");
    if (!module) return false;
    g_sysAllocString = reinterpret_cast<SysAllocStringFn>(
        reinterpret_cast<void*>(::GetProcAddress(module, "SysAllocString")));
    g_sysFreeString = reinterpret_cast<SysFreeStringFn>(
        reinterpret_cast<void*>(::GetProcAddress(module, "SysFreeString")));
    return g_sysAllocString && g_sysFreeString;
}

// Owns a BSTR (LoadAutomationStrings must have succeeded).
class TBstr {
public:
    explicit TBstr(const Wide& text) : b_(g_sysAllocString(W(text))) {}
    ~TBstr() { g_sysFreeString(b_); }
    TBstr(const TBstr&) = delete;
    TBstr& operator=(const TBstr&) = delete;
    BSTR Get() const { return b_; }

private:
    BSTR b_;
};

VARIANT EmptyVariant() {
    VARIANT v;
    ZeroMemory(&v, sizeof v);  // VT_EMPTY, as VariantInit makes it
    return v;
}

VARIANT StringVariant(const TBstr& text) {
    VARIANT v = EmptyVariant();
    v.vt = VT_BSTR;
    v.bstrVal = text.Get();  // still owned by text
    return v;
}

}  // namespace

bool IsProcessElevated() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    BOOL ok = ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    ::CloseHandle(token);
    return ok && elevation.TokenIsElevated != 0;
}

bool ShellExecuteExW(const Wide& verb, const Wide& file, const Wide& parameters, int showCommand,
                     uint32_t* exitCode) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = verb.empty() ? nullptr : W(verb);
    info.lpFile = W(file);
    info.lpParameters = parameters.empty() ? nullptr : W(parameters);
    info.nShow = showCommand;
    if (!::ShellExecuteExW(&info)) return false;
    if (!info.hProcess) {
        // Handed to a process that was already running: no exit code to wait for.
        ::SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    ::WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    BOOL ok = ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hProcess);
    if (exitCode) *exitCode = code;
    return ok != FALSE;
}

int32_t DesktopShellExecute(const Wide& file, const Wide& parameters, const Wide& directory,
                            const Wide& verb, int showCommand) {
    // The desktop's folder view belongs to the shell process, which runs with the user's own
    // token; what its automation object starts inherits that token, not ours.
    if (!LoadAutomationStrings()) return E_NOTIMPL;
    TComPtr<IShellWindows> windows;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                    IID_IShellWindows, windows.ReceiveVoid());
    if (FAILED(hr)) return hr;
    VARIANT empty = EmptyVariant();
    long window = 0;
    TComPtr<IDispatch> desktop;
    hr = windows->FindWindowSW(&empty, &empty, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                               desktop.Receive());
    if (hr != S_OK || !desktop.Get()) return FAILED(hr) ? hr : E_FAIL;
    TComPtr<IServiceProvider> provider;
    hr = desktop->QueryInterface(IID_IServiceProvider, provider.ReceiveVoid());
    if (FAILED(hr)) return hr;
    TComPtr<IShellBrowser> browser;
    hr = provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.ReceiveVoid());
    if (FAILED(hr)) return hr;
    TComPtr<IShellView> view;
    hr = browser->QueryActiveShellView(view.Receive());
    if (FAILED(hr) || !view.Get()) return FAILED(hr) ? hr : E_FAIL;
    TComPtr<IDispatch> background;
    hr = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.ReceiveVoid());
    if (FAILED(hr)) return hr;
    TComPtr<IShellFolderViewDual> folderView;
    hr = background->QueryInterface(IID_IShellFolderViewDual, folderView.ReceiveVoid());
    if (FAILED(hr)) return hr;
    TComPtr<IDispatch> application;
    hr = folderView->get_Application(application.Receive());
    if (FAILED(hr) || !application.Get()) return FAILED(hr) ? hr : E_FAIL;
    TComPtr<IShellDispatch2> shell;
    hr = application->QueryInterface(IID_IShellDispatch2, shell.ReceiveVoid());
    if (FAILED(hr)) return hr;

    TBstr fileText(file), parameterText(parameters), directoryText(directory), verbText(verb);
    VARIANT show = EmptyVariant();
    show.vt = VT_I4;
    show.lVal = showCommand;
    return shell->ShellExecute(fileText.Get(), StringVariant(parameterText),
                               StringVariant(directoryText), StringVariant(verbText), show);
}

}  // namespace plat
