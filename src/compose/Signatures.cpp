#include "compose/Signatures.h"

#include "core/SettingsItemTable.h"
#include "message/MailRecord.h"

namespace zorvik::compose {

Signatures::Signatures(const core::SettingsFile& settings, const store::TrayProperties& tray)
    : settings_(settings), trayKind_(tray.signatureKind), signatureFile_(tray.signatureFile) {}

std::vector<std::string> Signatures::lines(int kind, std::string_view to) const {
  switch (kind) {
    case kJapanese: return TemplateFiles::lines(settings_.text(core::item::kJapaneseSignature));
    case kEnglish: return TemplateFiles::lines(settings_.text(core::item::kEnglishSignature));
    case kAutomatic: break;
    default: return {};
  }
  if (!signatureFile_.empty()) {
    if (!fileLines_) {
      fileLines_ = TemplateFiles(settings_.text(core::item::kTemplateFolder)).readLines(TemplateFolder::Sign,
                                                                                         signatureFile_);
    }
    if (*fileLines_) return **fileLines_;
  }
  message::MailRecord draft;
  draft.to = std::string(to);
  return lines(draft.hasJapaneseDomain() ? kJapanese : kEnglish, to);
}

}  // namespace zorvik::compose
