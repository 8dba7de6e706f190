// Forced into the gtest sources and tests of the Windows build. The win32-threads mingw runtime has
// no std::mutex, which gtest needs only for the Notification of its own thread helpers; this one
// waits on an atomic flag instead. The installer's tests never start threads.
#pragma once

#include <atomic>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

#define GTEST_HAS_NOTIFICATION_ 1
