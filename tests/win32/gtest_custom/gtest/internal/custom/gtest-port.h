// SPDX-License-Identifier: GPL-3.0-or-later
// GoogleTest's hook for its port, for the win32 thread model of mingw-w64,
// which has no std::mutex: GoogleTest uses one only in the Notification that
// its own threading tests start threads with. The kit's tests run on one
// thread and never wait for one.
#ifndef KELMOR_GTEST_CUSTOM_PORT_H
#define KELMOR_GTEST_CUSTOM_PORT_H

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { notified_ = true; }
    void WaitForNotification() {
        while (!notified_) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

#endif
