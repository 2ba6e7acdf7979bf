// Feeds arbitrary text to the sorting expression evaluator.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sorting/SortExpression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto fields = [](std::string_view name) -> std::optional<std::string> {
    if (name == "[Subject:]") return std::string("[ML:1] abc");
    if (name == "[From:]") return std::string("taro@example.jp");
    return std::nullopt;
  };
  const auto result = zorvik::sorting::evaluateExpression(text, fields);
  if (result.error != 0 && result.value) __builtin_trap();  // an error is never true
  return 0;
}
