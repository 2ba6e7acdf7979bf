/// \file
/// A reporter for tests: remembers every box and answers questions with a
/// preset answer.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/MessageNumber.h"
#include "core/Reporter.h"
#include "support/MessageNumberPrinter.h"

namespace zorvik::test {

class RecordingReporter : public core::Reporter {
public:
  struct Box {
    core::MessageKind kind;
    std::string caption;  // Shift_JIS
    std::string text;     // Shift_JIS
    std::thread::id shownOn;
  };

  explicit RecordingReporter(bool answer = false) : answer_(answer) {}

  bool show(core::MessageKind kind, const std::string& caption, const std::string& text) override {
    Box box{kind, caption, text, std::this_thread::get_id()};
    if (hook_) hook_(box);
    const std::lock_guard lock(mutex_);
    boxes_.push_back(std::move(box));
    return answer_;
  }

  std::vector<Box> boxes() const {
    const std::lock_guard lock(mutex_);
    return boxes_;
  }
  /// The numbers R of the boxes shown so far, read from their captions
  /// ("Zorvik:エラー  No.4203" is 44203); bug boxes are left out.
  std::vector<core::MessageNumber> numbers() const {
    std::vector<core::MessageNumber> found;
    for (const Box& box : boxes()) {
      const auto at = box.caption.rfind("No.");
      if (at != std::string::npos)
        found.push_back(static_cast<core::MessageNumber>(40000 + std::stoi(box.caption.substr(at + 3))));
    }
    return found;
  }
  void setAnswer(bool answer) { answer_ = answer; }
  /// Runs `hook` for each box, on the thread that shows it, before the box
  /// is answered: what a user does while a box waits for them.
  void setHook(std::function<void(const Box&)> hook) { hook_ = std::move(hook); }

private:
  mutable std::mutex mutex_;
  std::vector<Box> boxes_;
  std::atomic<bool> answer_;
  std::function<void(const Box&)> hook_;
};

}  // namespace zorvik::test
