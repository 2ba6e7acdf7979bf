// Feeds arbitrary bytes to the item reader as a personal settings file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/ItemReader.h"
#include "core/SettingsFile.h"
#include "core/WorkingDirectories.h"
#include "platform/LineReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  static core::SettingsFile prototype;
  core::SettingsFile settings = prototype;
  auto lines = platform::LineReader::fromText(std::string(reinterpret_cast<const char*>(data), size));
  int problems = 0;
  core::ItemReader reader(lines, [&](const core::ItemReadProblem& problem) {
    problems += problem.lineNumber > 0 ? 1 : 0;
  });
  reader.read(settings);
  settings.updateDerivedValues();
  (void)settings.plainPassword(core::item::kPopPassword);
  return 0;
}
