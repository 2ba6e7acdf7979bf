/// \file
/// Cutting an operation off at any moment, as a crash or a power cut
/// would: the operation runs in a forked child that is killed (SIGKILL)
/// after a delay, so a test can check what it left on disk. Spread the
/// delays over the time one whole run takes to reach every stage.
#pragma once

#include <chrono>
#include <functional>

namespace zorvik::test {

/// Runs `operation` in a child process and kills it after `delay` (unless
/// it ended sooner); returns once the child is gone.
void killAfter(std::chrono::microseconds delay, const std::function<void()>& operation);

}  // namespace zorvik::test
