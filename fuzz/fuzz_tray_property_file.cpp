// Feeds arbitrary bytes to the tray property file reader. Whatever records
// it accepts must name paths inside the store, and must write out and read
// back to the same file: a tree exported from what was imported is stable.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/TrayNameRule.h"
#include "store/TrayPropertyFile.h"

namespace {

std::vector<zorvik::store::TrayPropertyRecord> readAll(std::string text) {
  using namespace zorvik;
  std::vector<store::TrayPropertyRecord> records;
  auto lines = platform::LineReader::fromText(std::move(text));
  store::readTrayPropertyRecords(
      lines,
      [&records](const store::TrayPropertyRecord& record) {
        if (!store::isStoreRelativePath(record.path, record.isCabinet)) __builtin_trap();
        records.push_back(record);
        return true;
      },
      [](const core::ItemReadProblem&) {});
  return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  const auto records = readAll(std::string(reinterpret_cast<const char*>(data), size));
  // The first writing may normalise (a number "12abc" becomes "12"); from
  // then on the text must not change.
  const std::string written = store::formatTrayPropertyFile(records);
  const auto reread = readAll(written);
  if (store::formatTrayPropertyFile(reread) != written) __builtin_trap();
  return 0;
}
