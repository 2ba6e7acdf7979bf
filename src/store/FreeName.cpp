#include "store/FreeName.h"

#include "platform/FileSystem.h"

namespace zorvik::store {

bool nameTaken(const StoreLocation& store, std::string_view path) {
  return platform::pathExists(TrayName::path(store, path, filetype::kPathOnly)) ||
         platform::pathExists(TrayName::path(store, path, filetype::kIndex)) ||
         platform::pathExists(TrayName::path(store, path, filetype::kText));
}

std::optional<std::string> freeName(const StoreLocation& store, std::string_view cabinet, std::string_view base) {
  const std::string first = platform::joinPath(cabinet, base);
  if (!nameTaken(store, first)) return first;
  for (int number = 1; number <= kLastFreeNameNumber; ++number) {
    std::string candidate = first + std::to_string(number);
    if (!nameTaken(store, candidate)) return candidate;
  }
  return std::nullopt;
}

}  // namespace zorvik::store
