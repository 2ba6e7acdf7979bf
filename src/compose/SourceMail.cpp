#include "compose/SourceMail.h"

#include "store/MailRecordIndex.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"

namespace zorvik::compose {

std::optional<SourceMail> SourceMail::read(const store::StoreLocation& store, const store::MailPlace& place,
                                           const message::MailRecordParser& parser) {
  const store::TrayFile tray(store, place.tray);
  store::TrayRecord row;
  if (tray.read(place.index, row) != store::ReadResult::Live) return std::nullopt;
  SourceMail mail;
  mail.selected = place;
  mail.stored = row.isLink() ? store::MailPlace{row.linkTarget, row.linkIndex} : place;
  auto header = tray.headerLines(place.index);
  auto body = tray.bodyReader(place.index);
  if (!header || !body) return std::nullopt;
  mail.header = std::move(*header);
  mail.record = store::MailRecordIndex::fromIndex(row);
  const std::uint32_t storedFlags = mail.record.flags;
  parser.reparse(mail.record, mail.header);
  // The index decided who wrote the mail when it was stored; parsing the
  // header again must not make a received mail the user's own.
  mail.record.flags = storedFlags;
  for (std::string line; body->next(line);) mail.body.push_back(line);
  mail.attachmentRoot = store::TrayAttachments::root(store, mail.stored.tray);
  return mail;
}

}  // namespace zorvik::compose
