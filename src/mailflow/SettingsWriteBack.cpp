#include "mailflow/SettingsWriteBack.h"

#include "mailflow/Document.h"

namespace zorvik::mailflow {

bool SettingsWriteBack::apply(Document& document, const Change& change) {
  change(document.settings());
  document.settingsChanged();
  const std::string path = document.settings().fileName();
  auto stored = Document::readSettings(path, document.messages());
  if (!stored) return false;
  change(*stored);
  return stored->save(document.messages(), path);
}

}  // namespace zorvik::mailflow
