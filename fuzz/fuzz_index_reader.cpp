// Feeds arbitrary bytes to the tray reader as an index file and a text file,
// then walks, reads and compacts the tray. Any crash, hang or sanitizer
// report is a fault: damaged trays must only ever give "not a tray",
// deleted records or missing text.
//
// Input: the first two bytes give the index length (little-endian); the
// index bytes follow, the rest is the text file.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileLock.h"
#include "store/TrayCompactor.h"
#include "store/TrayFile.h"

namespace {

const zorvik::store::StoreLocation& scratchStore() {
  static const zorvik::store::StoreLocation store = [] {
    std::string dir = "/tmp/zorvik-fuzz-XXXXXX";
    if (!mkdtemp(dir.data())) std::abort();
    const std::string top = dir + "/Top";
    if (mkdir(top.c_str(), 0700) != 0) std::abort();
    zorvik::platform::FileLock::setRetry({1, std::chrono::milliseconds(0)});
    return zorvik::store::StoreLocation{dir, "Top", {}};
  }();
  return store;
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void walk(const zorvik::store::TrayFile& tray) {
  auto session = tray.reader();
  if (!session) return;
  zorvik::store::TrayRecord record;
  std::string line;
  for (std::uint32_t i = 0; i < 64 && session->next(record) != zorvik::store::ReadResult::End; ++i) {
    (void)tray.headerLines(record.index);
    auto body = tray.bodyReader(record.index);
    for (int n = 0; body && n < 64 && body->next(line); ++n) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 1 << 16) return 0;
  const std::size_t indexSize = std::min<std::size_t>(size - 2, data[0] | data[1] << 8);
  const auto& store = scratchStore();
  const zorvik::store::TrayFile tray(store, "Box");
  writeFile(tray.path(zorvik::store::filetype::kIndex), data + 2, indexSize);
  writeFile(tray.path(zorvik::store::filetype::kText), data + 2 + indexSize, size - 2 - indexSize);

  (void)tray.properties();
  (void)tray.count(true);
  walk(tray);
  (void)tray.releaseLink(0);
  (void)tray.deleteMail(1, true);
  (void)zorvik::store::TrayCompactor(store).compact("Box");
  walk(tray);
  return 0;
}
