// Starts that keep running while a test goes on: a first single instance
// and the second instances that wait for it.
#pragma once

#include <chrono>
#include <thread>

#include "support/test_support.h"

namespace javelin::test {

// A launcher run on a thread of its own.
class BackgroundStart {
 public:
  BackgroundStart(const std::u16string& launcher, const TextList& arguments)
      : thread_([this, launcher, arguments] { result_ = RunProgram(launcher, arguments); }) {}
  ~BackgroundStart() {
    if (thread_.joinable()) thread_.join();
  }
  BackgroundStart(const BackgroundStart&) = delete;
  BackgroundStart& operator=(const BackgroundStart&) = delete;

  const ProcessResult& Finish() {
    if (thread_.joinable()) thread_.join();
    return result_;
  }

 private:
  ProcessResult result_;
  std::thread thread_;
};

inline bool WaitForFile(const std::u16string& path, double seconds = 60) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(long(seconds * 1000));
  while (!FileExists(path)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace javelin::test
