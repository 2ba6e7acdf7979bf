#include "support/CliRunner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace zorvik::test {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const std::string& workingDirectory,
                       const std::vector<std::string>& environment) {
  const std::string outPath = capture_.file("out");
  const std::string errPath = capture_.file("err");
  const std::string program = cliPath();
  pid_ = fork();
  if (pid_ != 0) return;
  if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0) _exit(127);
  const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int in = open("/dev/null", O_RDONLY);
  dup2(out, 1);
  dup2(err, 2);
  dup2(in, 0);
  for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

CliProcess::~CliProcess() {
  if (!running()) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, &status_, 0);
}

bool CliProcess::running() {
  if (status_ != -1 || pid_ <= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
  status_ = status;
  return false;
}

void CliProcess::signal(int number) const { kill(pid_, number); }

CliResult CliProcess::wait() {
  if (status_ == -1) waitpid(pid_, &status_, 0);
  CliResult result;
  result.exitCode = WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
  result.out = slurp(capture_.file("out"));
  result.err = slurp(capture_.file("err"));
  return result;
}

CliResult runCli(const std::vector<std::string>& args, const std::string& workingDirectory,
                 const std::vector<std::string>& environment) {
  return CliProcess(args, workingDirectory, environment).wait();
}

}  // namespace zorvik::test
