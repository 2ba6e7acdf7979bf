#include "support/CliAccount.h"

namespace zorvik::test {

CliAccount::CliAccount() {
  // Plain POP3 and SMTP: the servers the tests start speak no TLS.
  const auto made = runCli({"init", "--name", "T", "--address", "me@example.jp", "--dir", dir_.path(), "--plain"},
                           dir_.path(), {"HOME=" + dir_.path()});
  if (made.exitCode == 0) settings_ = made.out.substr(0, made.out.find('\n'));
  else initError_ = made.err;
}

CliResult CliAccount::run(std::vector<std::string> args, const std::vector<std::string>& environment) const {
  args.insert(args.begin(), {"--settings", settings_});
  std::vector<std::string> entries{"HOME=" + dir_.path()};
  entries.insert(entries.end(), environment.begin(), environment.end());
  return runCli(args, dir_.path(), entries);
}

}  // namespace zorvik::test
