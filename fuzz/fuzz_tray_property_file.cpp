// Feeds arbitrary bytes to the tray property file reader. Whatever records
// it accepts must name paths inside the store, and must write out and read
// back to the same records: a tree exported from what was imported is the
// same tree.
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
  // Numbers are read as the C library reads them ("12abc" is 12), so the
  // text may change once; the records read must come back unchanged, every
  // text byte for byte.
  const std::string written = store::formatTrayPropertyFile(records);
  const auto reread = readAll(written);
  if (reread != records || store::formatTrayPropertyFile(reread) != written) __builtin_trap();
  return 0;
}
