#include "wizard/engine/AppRunning.h"

#include "platform/platform.h"

bool IsAppRunning() {
    bool running = false;
    plat::EnumWindows([&running](plat::WindowHandle window) {
        if (plat::GetPropW(window, kRunningMark) == 0) return true;
        running = true;
        return false;
    });
    return running;
}
