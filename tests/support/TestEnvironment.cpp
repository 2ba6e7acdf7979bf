#include "support/TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace zorvik::test {

std::string testDataDir() {
  const char* dir = std::getenv("ZORVIK_TEST_DATA");
  return dir ? dir : "tests/data";
}

std::string cliPath() { return ZORVIK_CLI_PATH; }

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zorvik-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace zorvik::test
