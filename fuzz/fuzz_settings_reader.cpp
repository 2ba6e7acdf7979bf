// Feeds arbitrary bytes to the item reader as a personal settings file.
// Whatever values it reads must write out and read back unchanged, byte for
// byte: a value that drifts or injects items at each save would change the
// user's settings behind his back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/ItemReader.h"
#include "core/ItemWriter.h"
#include "core/SettingsFile.h"
#include "core/WorkingDirectories.h"
#include "platform/LineReader.h"

namespace {

zorvik::core::SettingsFile readSettings(std::string text) {
  using namespace zorvik;
  static const core::SettingsFile prototype;
  core::SettingsFile settings = prototype;
  auto lines = platform::LineReader::fromText(std::move(text));
  core::ItemReader reader(lines, [](const core::ItemReadProblem&) {});
  reader.read(settings);
  settings.updateDerivedValues();
  return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  const core::SettingsFile settings = readSettings(std::string(reinterpret_cast<const char*>(data), size));
  (void)settings.plainPassword(core::item::kPopPassword);
  std::string written;
  core::writeItemTable(written, settings);
  const core::SettingsFile reread = readSettings(written);
  for (std::size_t row = 0; row < settings.table().rows().size(); ++row) {
    if (reread.numberAt(row) != settings.numberAt(row) || reread.textAt(row) != settings.textAt(row))
      __builtin_trap();
  }
  return 0;
}
