#include "mailflow/MailSelection.h"

#include "mailflow/Document.h"
#include "store/TrayFile.h"
#include "store/TrayRecord.h"

namespace zorvik::mailflow {
namespace {

bool trayExists(const Document& document, const std::string& tray) {
  if (store::TrayFile(document.store(), tray).exists()) return true;
  document.messages().error(core::MessageNumber::NoSuchTray, {tray});
  return false;
}

}  // namespace

bool MailSelection::check(const Document& document, const std::string& tray, const std::vector<std::uint32_t>& indices,
                          const std::optional<std::string>& destination) {
  if (!trayExists(document, tray) || (destination && !trayExists(document, *destination))) return false;
  const store::TrayFile source(document.store(), tray);
  for (const std::uint32_t index : indices) {
    store::TrayRecord row;
    if (source.read(index, row) == store::ReadResult::Live) continue;
    document.messages().error(core::MessageNumber::NoSuchMail, {tray, std::to_string(index)});
    return false;
  }
  return true;
}

}  // namespace zorvik::mailflow
