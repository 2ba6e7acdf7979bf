#include "mailflow/Document.h"

#include "platform/FileSystem.h"
#include "store/PostOpen.h"

namespace zorvik::mailflow {

using core::MessageNumber;

std::optional<core::SettingsFile> Document::readSettings(std::string_view path, core::Messages& messages) {
  const std::string file(path);
  if (!platform::isRegularFile(file)) {
    messages.error(MessageNumber::NoSettingsFile, {file});
    return std::nullopt;
  }
  core::SettingsFile settings;
  if (!settings.load(file, messages)) {
    messages.error(MessageNumber::UnreadableSettingsFile, {file});
    return std::nullopt;
  }
  return settings;
}

std::unique_ptr<Document> Document::load(std::string_view path, core::Messages& messages,
                                         std::function<void()> endProgram) {
  auto settings = readSettings(path, messages);
  if (!settings) return nullptr;
  settings->resolveRelativePaths(resolutionFolderOf(path));
  return std::make_unique<Document>(std::move(*settings), messages, std::move(endProgram));
}

Document::Document(core::SettingsFile settings, core::Messages& messages, std::function<void()> endProgram,
                   store::FreeSpaceCheck::SpaceProbe probe)
    : settings_(std::move(settings)),
      messages_(messages),
      endProgram_(std::move(endProgram)),
      probe_(std::move(probe)) {
  settingsChanged();
}

void Document::settingsChanged() {
  settings_.updateDerivedValues();
  store_ = store::StoreLocation::fromSettings(settings_);
  store_.writeCheck = store::FreeSpaceCheck(messages_, endProgram_, probe_);
}

std::string Document::workFilePath() const { return store::workFileTextPath(settings_); }

bool Document::mayWrite(std::string_view path) const { return !store_.writeCheck || store_.writeCheck(path); }

std::string Document::resolutionFolderOf(std::string_view path) {
  std::string folder = platform::directoryOf(std::string(path));
  if (!platform::isFullPath(folder)) folder = platform::joinPath(platform::currentDirectory(), folder);
  return platform::joinPath(folder, "");
}

}  // namespace zorvik::mailflow
