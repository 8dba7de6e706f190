// Windows of the fake: top-level windows with properties, and message boxes answered from a
// script and recorded.
#include <algorithm>

#include "platform/fake/state.h"

namespace plat {

using namespace fake::detail;

namespace {

constexpr uint32_t kErrorInvalidWindowHandle = 1400;

Window* FindWindow(WindowHandle handle) {
    for (auto& window : M().windows) {
        if (window.handle == handle) return &window;
    }
    return nullptr;
}

}  // namespace

bool EnumWindows(const std::function<bool(WindowHandle)>& visit) {
    if (M().failEnumeration) return Fail(kErrorAccessDenied), false;
    // A copy: the visitor may add or remove windows.
    std::vector<WindowHandle> handles;
    for (const auto& window : M().windows) handles.push_back(window.handle);
    for (WindowHandle handle : handles) {
        if (!visit(handle)) break;
    }
    return true;
}

uintptr_t GetPropW(WindowHandle window, const Wide& name) {
    Window* found = FindWindow(window);
    if (!found) return Fail(kErrorInvalidWindowHandle), 0;
    auto it = found->props.find(Upper(name));
    return it == found->props.end() ? 0 : it->second;
}

int MessageBoxW(WindowHandle owner, const Wide& text, const Wide& caption, uint32_t flags) {
    M().shownBoxes.push_back({text, caption, flags, owner});
    if (M().answers.empty()) return kIdOk;
    int answer = M().answers.front();
    M().answers.pop_front();
    return answer;
}

}  // namespace plat

namespace fake {

using namespace detail;

plat::WindowHandle AddWindow() {
    plat::WindowHandle handle = M().nextWindow;
    M().nextWindow += 0x10;
    M().windows.push_back({handle, {}});
    return handle;
}

void SetWindowProp(plat::WindowHandle window, const Wide& name, uintptr_t value) {
    for (auto& w : M().windows) {
        if (w.handle != window) continue;
        if (value) w.props[Upper(name)] = value;
        else w.props.erase(Upper(name));
    }
}

void RemoveWindow(plat::WindowHandle window) {
    auto& windows = M().windows;
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [&](const Window& w) { return w.handle == window; }),
                  windows.end());
}

void FailWindowEnumeration(bool fail) { M().failEnumeration = fail; }

void ScriptAnswers(const std::vector<int>& answers) {
    M().answers.assign(answers.begin(), answers.end());
}

const std::vector<ShownBox>& ShownBoxes() { return M().shownBoxes; }

}  // namespace fake
