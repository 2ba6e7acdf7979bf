#include "core/UnattendedAnswer.h"

#include "core/MessageNumber.h"

namespace zorvik::core {

bool UnattendedAnswer::operator()(MessageKind kind, std::string_view caption, bool preset) {
  const bool lowDiskSpace = numberOf(caption) == core::numberOf(MessageNumber::LowDiskSpace);
  const bool answer = lowDiskSpace && lastWasContinue_ ? false : preset;
  lastWasContinue_ = lowDiskSpace && answer;
  return kind == MessageKind::Question && answer;
}

int UnattendedAnswer::numberOf(std::string_view caption) {
  const auto at = caption.rfind("No.");
  if (at == std::string_view::npos) return 0;
  int number = 0;
  for (std::size_t i = at + 3; i < caption.size() && caption[i] >= '0' && caption[i] <= '9'; ++i)
    number = number * 10 + (caption[i] - '0');
  return number + 40000;
}

}  // namespace zorvik::core
