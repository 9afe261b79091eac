// For tests that start a launcher which finds no runtime: on Windows its
// dialog "JRE nicht gefunden" is cancelled as soon as it appears (in any
// process), as a user would; elsewhere nothing is done.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <thread>
#endif

namespace javelin::test {

#ifdef _WIN32
class JreDialogCanceller {
 public:
  JreDialogCanceller()
      : watcher_([this] {
          while (!stop_) {
            if (HWND dialog = FindWindowW(L"#32770", L"JRE nicht gefunden")) {
              if (IsWindowVisible(dialog)) {
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                cancelled_ = true;
              }
            }
            Sleep(20);
          }
        }) {}
  ~JreDialogCanceller() {
    stop_ = true;
    watcher_.join();
  }
  bool cancelled() const { return cancelled_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> cancelled_{false};
  std::thread watcher_;
};
#else
class JreDialogCanceller {
 public:
  bool cancelled() const { return false; }
};
#endif

}  // namespace javelin::test
