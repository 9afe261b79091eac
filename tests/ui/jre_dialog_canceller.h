// For tests that start a launcher which finds no runtime: on Windows its
// dialog "JRE nicht gefunden" is cancelled as soon as it appears (in any
// process), as a user would; elsewhere nothing is done.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <future>
#endif

namespace javelin::test {

class JreDialogCanceller {
#ifdef _WIN32
 public:
  ~JreDialogCanceller() { stop_ = true; }  // then the watcher's future waits for it

 private:
  std::atomic<bool> stop_{false};
  std::future<void> watcher_ = std::async(std::launch::async, [this] {
    for (; !stop_; Sleep(20)) {
      HWND dialog = FindWindowW(L"#32770", L"JRE nicht gefunden");
      if (dialog && IsWindowVisible(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  });
#endif
};

}  // namespace javelin::test
