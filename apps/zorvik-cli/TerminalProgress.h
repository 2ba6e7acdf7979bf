/// \file
/// Progress of long work as lines on stderr, five a second at most: enough
/// to see the work move without flooding the terminal. The last line the
/// work gave is always shown in the end, so a run that reached 100 % says
/// so even when that line came too soon after the one before.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "core/Progress.h"

namespace zorvik::cli {

class TerminalProgress final : public core::Progress {
public:
  using Printer = std::function<void(const std::string& sjis)>;

  explicit TerminalProgress(Printer print) : print_(std::move(print)) {}
  ~TerminalProgress() override { flush(); }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void step(const std::string& text) override {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(200)) {
      pending_ = text;
      return;
    }
    last_ = now;
    pending_.clear();
    print_(text);
  }

  /// Shows the line held back by the throttle, if any.
  void flush() {
    if (pending_.empty()) return;
    print_(pending_);
    pending_.clear();
  }

private:
  Printer print_;
  std::chrono::steady_clock::time_point last_{};
  std::string pending_;
};

}  // namespace zorvik::cli
