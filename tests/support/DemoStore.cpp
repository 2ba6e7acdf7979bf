#include "support/DemoStore.h"

#include <cstdlib>

#include "platform/FileSystem.h"
#include "support/TestEnvironment.h"

namespace zorvik::test {
namespace {

std::string sourceDir() {
  const char* dir = std::getenv("ZORVIK_SOURCE_DIR");
  return dir ? dir : ".";
}

}  // namespace

std::string makeDemoStore(const std::string& folder) {
  platform::makeDirectories(folder);
  const std::string printed = folder + "/settings-path";
  const std::string command = "bash '" + sourceDir() + "/scripts/demo-store.sh' '" + cliPath() + "' '" + folder +
                              "' > '" + printed + "'";
  if (std::system(command.c_str()) != 0) return {};
  const auto text = platform::readFile(printed);
  return text ? text->substr(0, text->find('\n')) : std::string();
}

}  // namespace zorvik::test
