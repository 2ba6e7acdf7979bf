/// \file
/// A fresh account for the zorvik-cli tests: `zorvik-cli init --plain` run
/// in a scratch folder (the settings file and the store "me" beside it), and
/// zorvik-cli run on it with HOME in that folder.
#pragma once

#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/TestEnvironment.h"

namespace zorvik::test {

class CliAccount {
public:
  /// Makes the account; ready() is false (with the reason in initError())
  /// when init failed.
  CliAccount();

  bool ready() const { return !settings_.empty(); }
  const std::string& initError() const { return initError_; }
  /// Runs zorvik-cli --settings <the account> `args`, with extra
  /// environment entries "NAME=value".
  CliResult run(std::vector<std::string> args, const std::vector<std::string>& environment = {}) const;
  /// `name` in the scratch folder.
  std::string file(const std::string& name) const { return dir_.file(name); }
  const std::string& folder() const { return dir_.path(); }
  /// The store's top cabinet (UTF-8 path).
  std::string topCabinet() const { return dir_.file("me/すべてのトレイ"); }

private:
  ScratchDir dir_;
  std::string settings_;
  std::string initError_;
};

}  // namespace zorvik::test
