/// \file
/// Progress of long work as lines on stderr, five a second at most: enough
/// to see the work move without flooding the terminal.
#pragma once

#include <chrono>
#include <string>

#include "CliCommand.h"
#include "core/Progress.h"

namespace zorvik::cli {

class TerminalProgress final : public core::Progress {
public:
  explicit TerminalProgress(CliContext& context) : context_(context) {}

  void step(const std::string& text) override {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(200)) return;
    last_ = now;
    context_.status(text);
  }

private:
  CliContext& context_;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace zorvik::cli
