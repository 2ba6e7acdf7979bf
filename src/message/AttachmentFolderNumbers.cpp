#include "message/AttachmentFolderNumbers.h"

#include "message/AttachmentFolder.h"

namespace zorvik::message {
namespace {

// The sequence number at the end of a folder name ("1261207.012" gives 12).
int sequenceOf(std::string_view name) {
  int sequence = 0;
  for (const char c : name.substr(name.rfind('.') + 1)) sequence = sequence * 10 + (c - '0');
  return sequence;
}

}  // namespace

std::optional<std::string> AttachmentFolderNumbers::claim(std::string_view root, std::time_t date, int zoneHours) {
  int& next = next_[std::string(root) + "/" + AttachmentFolder::nameFor(date, zoneHours, 0)];
  std::optional<std::string> name = AttachmentFolder::create(root, date, zoneHours, next);
  if (name) next = sequenceOf(*name) + 1;
  return name;
}

}  // namespace zorvik::message
