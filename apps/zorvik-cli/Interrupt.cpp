#include "Interrupt.h"

#include <unistd.h>

#include <csignal>

namespace zorvik::cli {
namespace {

mailflow::StopRequest* watched = nullptr;

void onSignal(int signal) {
  if (!watched) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  // SIGTERM (a shutdown, `timeout`, `kill`) means now: it counts twice.
  if (signal == SIGTERM) watched->request();
  const bool first = !watched->requested();
  watched->request();
  static constexpr char kFirst[] = "\nzorvik-cli: stopping after the current mail (press Ctrl-C again to stop now)\n";
  static constexpr char kAgain[] = "\nzorvik-cli: stopping now\n";
  [[maybe_unused]] const ssize_t written =
      first ? ::write(STDERR_FILENO, kFirst, sizeof kFirst - 1) : ::write(STDERR_FILENO, kAgain, sizeof kAgain - 1);
}

}  // namespace

void watchInterrupts(mailflow::StopRequest& request) {
  watched = &request;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace zorvik::cli
