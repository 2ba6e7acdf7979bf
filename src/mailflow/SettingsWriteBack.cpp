#include "mailflow/SettingsWriteBack.h"

#include "mailflow/Document.h"

namespace zorvik::mailflow {

bool SettingsWriteBack::apply(Document& document, const Change& change, std::string_view target) {
  change(document.settings());
  document.settingsChanged();
  const std::string path = document.settings().fileName();
  auto stored = Document::readSettings(path, document.messages());
  if (!stored) return false;
  change(*stored);
  const std::string destination(target.empty() ? std::string_view(path) : target);
  if (!stored->save(document.messages(), destination)) return false;
  document.settings().setFileName(destination);
  return true;
}

}  // namespace zorvik::mailflow
