// GoogleTest's place for a platform's own definitions, for the runtime of the
// win32 thread model, which has no std::mutex or std::condition_variable.
// GoogleTest keeps its locks with the platform's critical sections there;
// only its Notification (used by its own thread tests, never by ours) is made
// of the standard ones, so it is given here without them.
#ifndef PS_GTEST_CUSTOM_PORT_H
#define PS_GTEST_CUSTOM_PORT_H

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true, std::memory_order_release); }
    void WaitForNotification()
    {
        while (!notified_.load(std::memory_order_acquire)) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace testing::internal

#endif
