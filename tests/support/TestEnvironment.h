/// \file
/// Where the tests find their data, the built programs and a private scratch
/// folder that is removed when the test ends.
#pragma once

#include <string>

namespace zorvik::test {

/// tests/data in the source tree.
std::string testDataDir();
/// The zorvik-cli program of this build.
std::string cliPath();

/// A fresh folder below the system's temporary directory, removed with
/// everything in it when the object goes.
class ScratchDir {
public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  /// `name` below the scratch folder.
  std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
  std::string path_;
};

}  // namespace zorvik::test
