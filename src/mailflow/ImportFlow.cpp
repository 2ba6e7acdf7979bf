#include "mailflow/ImportFlow.h"

#include <algorithm>
#include <ctime>

#include "core/SjisText.h"
#include "import/BeckyConverter.h"
#include "import/SingleMailFiles.h"
#include "mailflow/Document.h"
#include "mailflow/StoreLock.h"
#include "platform/FileSystem.h"
#include "store/TrayFile.h"
#include "store/TrayName.h"
#include "store/TreeOperations.h"

namespace zorvik::mailflow {

using core::MessageNumber;

namespace {


// The dialog's checks; false after the message.
bool checked(core::Messages& messages, const ImportRequest& request) {
  if (!request.kind) {
    messages.error(MessageNumber::NoMailerKind);
    return false;
  }
  if (const auto refusal = import::MailerKinds::info(*request.kind).notImplemented) {
    messages.information(*refusal);
    return false;
  }
  if (request.source.empty()) {
    messages.error(MessageNumber::NoImportFile);
    return false;
  }
  if (!platform::pathExists(request.source)) {
    messages.error(MessageNumber::BadImportFileName, {request.source});
    return false;
  }
  return true;
}

std::string extensionOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? std::string() : std::string(name.substr(dot));
}

std::string stemOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

std::vector<ImportFlow::Source> maildirSources(std::string_view chosen) {
  std::vector<ImportFlow::Source> sources;
  if (import::SingleMailFiles::ofMaildir(chosen)) sources.push_back({std::string(chosen), platform::fileNameOf(chosen)});
  for (const auto& entry : platform::listDirectory(chosen)) {
    const std::string path = platform::joinPath(chosen, entry.name);
    if (!entry.isDirectory || entry.name == "cur" || entry.name == "new" || entry.name == "tmp" ||
        !import::SingleMailFiles::ofMaildir(path))
      continue;
    const std::string name = entry.name.starts_with('.') ? entry.name.substr(1) : entry.name;
    if (!name.empty()) sources.push_back({path, name});
  }
  return sources;
}

std::vector<ImportFlow::Source> filesLike(std::string_view chosen) {
  const std::string folder = platform::directoryOf(chosen);
  const std::string extension = extensionOf(platform::fileNameOf(chosen));
  std::vector<ImportFlow::Source> sources;
  for (const auto& entry : platform::listDirectory(folder.empty() ? "." : folder)) {
    if (entry.isDirectory || entry.name.starts_with('.') ||
        !core::equalsIgnoringAsciiCase(extensionOf(entry.name), extension))
      continue;
    sources.push_back({platform::joinPath(folder, entry.name), stemOf(entry.name)});
  }
  return sources;
}

// The cabinet, made when missing; false after the tree's message.
bool cabinetReady(const Document& document, store::TreeOperations& tree, const std::string& cabinet) {
  if (platform::isDirectory(store::TrayName::path(document.store(), cabinet, store::filetype::kPathOnly)))
    return true;
  return tree.createCabinet(cabinet);
}

}  // namespace

std::vector<ImportFlow::Source> ImportFlow::folderSources(import::MailerKind kind, std::string_view chosen) {
  const bool maildir = kind == import::MailerKind::Maildir;
  std::vector<Source> sources = maildir ? maildirSources(chosen) : filesLike(chosen);
  // The chosen Maildir first, then the folders in it by name.
  const bool chosenFirst = maildir && !sources.empty() && sources.front().path == chosen;
  std::sort(sources.begin() + (chosenFirst ? 1 : 0), sources.end(),
            [](const Source& a, const Source& b) { return a.path < b.path; });
  return sources;
}

std::optional<ImportReport> ImportFlow::run(const Document& document, FrontEnd& front, const ImportRequest& request) {
  core::Messages& messages = document.messages();
  if (!checked(messages, request)) return std::nullopt;
  const auto period =
      import::ImportPeriod::limit(request.period, std::time(nullptr), document.settings().timeZoneOffsetHours());
  if (!period) return std::nullopt;
  if (!request.cabinet && !store::TrayFile(document.store(), request.tray).exists()) return std::nullopt;
  const auto lock = StoreLock::take(document, StoreWork::Deliver);
  if (!lock) return std::nullopt;

  std::optional<std::string> attachFolder = request.attachFolder;
  if (*request.kind == import::MailerKind::Becky && !attachFolder) {
    attachFolder = import::BeckyConverter::findAttachFolder(request.source);
    if (!attachFolder) messages.error(MessageNumber::NoAttachmentFolder);
  }
  TrayImport importer(document, front, *request.kind, *period, attachFolder);
  ImportReport report;
  if (!request.cabinet) {
    report.files.push_back(importer.run(request.source, request.tray));
    report.ok = report.files.back().ok;
    return report;
  }
  store::TreeOperations tree(document.store(), document.settings(), messages);
  const std::string& cabinet = *request.cabinet;
  if (!cabinetReady(document, tree, cabinet)) return std::nullopt;
  report.ok = true;
  for (const Source& source : folderSources(*request.kind, request.source)) {
    if (front.stop.requested()) {
      report.ok = false;
      break;
    }
    const std::string tray = cabinet.empty() ? source.trayName : cabinet + "/" + source.trayName;
    if (!tree.isTray(tray) && !tree.createTray(tray)) {
      report.ok = false;
      continue;
    }
    report.files.push_back(importer.run(source.path, tray));
    report.ok = report.ok && report.files.back().ok;
  }
  return report;
}

}  // namespace zorvik::mailflow
