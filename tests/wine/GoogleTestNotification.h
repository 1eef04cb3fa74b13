#pragma once
// Included ahead of GoogleTest's sources and of the contract tests. On Windows GoogleTest keeps
// its own mutex and thread-local storage on Windows' primitives, except for one class,
// Notification, which it builds on std::mutex and std::condition_variable. The cross compiler's
// win32 thread model has neither, so Notification is supplied here on an event object.
// Only the event functions: the whole of windows.h would turn names such as CopyFile into
// macros in every header that follows.
#include <handleapi.h>
#include <synchapi.h>

namespace testing::internal {

// Lets threads that GoogleTest starts wait until their creator says go.
class Notification {
  public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, 0xFFFFFFFF); }  // INFINITE

  private:
    HANDLE event_;
};

}  // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
