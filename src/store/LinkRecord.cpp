#include "store/LinkRecord.h"

#include "store/RecordFlags.h"

namespace zorvik::store {

std::optional<LinkRecord> LinkRecord::make(std::string_view targetTray, std::uint32_t targetIndex) {
  if (targetTray.empty() || targetTray.size() > kTargetSize) return std::nullopt;
  if (targetTray.find('\0') != std::string_view::npos) return std::nullopt;
  LinkRecord link;
  link.setFlags(recordflag::kNewLink);
  link.setNumber(4, targetIndex);
  link.setText(8, kTargetSize, targetTray);
  return link;
}

LinkRecord LinkRecord::of(const IndexRecord& record) {
  LinkRecord link;
  static_cast<IndexRecord&>(link) = record;
  return link;
}

}  // namespace zorvik::store
