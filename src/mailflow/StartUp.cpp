#include "mailflow/StartUp.h"

#include "mailflow/StoreLock.h"
#include "mailflow/WorkFileIntake.h"
#include "store/PostOpen.h"

namespace zorvik::mailflow {

std::unique_ptr<Document> StartUp::open(std::string_view path, core::Messages& messages,
                                        const store::StartUpPlaces& places,
                                        const store::DocumentOpen::AccountDialog& askAccount,
                                        std::function<void()> endProgram) {
  core::SettingsFile settings;
  if (!store::DocumentOpen(settings, messages, places).open(path, askAccount)) return nullptr;
  store::applyTimeZone(settings);
  auto document = std::make_unique<Document>(std::move(settings), messages, std::move(endProgram));
  if (const auto lock = StoreLock::tryTake(*document, StoreWork::Recover)) WorkFileIntake::recoverAtStart(*document);
  return document;
}

}  // namespace zorvik::mailflow
