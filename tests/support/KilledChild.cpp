#include "support/KilledChild.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace zorvik::test {

void killAfter(std::chrono::microseconds delay, const std::function<void()>& operation) {
  const pid_t child = fork();
  if (child == 0) {
    operation();
    _exit(0);
  }
  std::this_thread::sleep_for(delay);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
}

}  // namespace zorvik::test
