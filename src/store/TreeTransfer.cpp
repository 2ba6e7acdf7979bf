#include "store/TreeTransfer.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "store/TrayInheritance.h"
#include "store/TreeListing.h"

namespace zorvik::store {

using core::MessageNumber;

namespace {

constexpr int kMaxReportedProblems = 20;

const std::string& cabinetNotCreatedReason() { return platform::sjisLiteral("引出が作れない"); }
const std::string& trayNotCreatedReason() { return platform::sjisLiteral("トレイが作れない"); }
const std::string& notATrayReason() {
  return platform::sjisLiteral("同じ名前のファイルがトレイとして読めない");
}

// Appends the tray record of `name` when its properties read; false when not.
bool appendTray(const StoreLocation& store, const std::string& name, std::vector<TrayPropertyRecord>& out) {
  const auto properties = TrayFile(store, name).properties();
  if (!properties) return false;
  out.push_back({false, name, *properties});
  return true;
}

// A cabinet's record and, when it has one, its ".Default" tray's.
void appendCabinet(const StoreLocation& store, const std::string& path, std::vector<TrayPropertyRecord>& out) {
  out.push_back({true, path, {}});
  const std::string defaultTray = defaultTrayOf(path);
  const TrayFile tray(store, defaultTray);
  if (platform::pathExists(tray.path(filetype::kIndex))) appendTray(store, defaultTray, out);
}

bool ensureCabinet(const StoreLocation& store, std::string_view path) {
  const std::string directory = platform::joinPath(store.topCabinetPath(), path);
  return platform::isDirectory(directory) || platform::makeDirectories(directory);
}

class Importer {
public:
  Importer(const StoreLocation& store, std::string_view filePath, core::Messages& messages)
      : store_(store), filePath_(filePath), messages_(messages) {}

  void report(const core::ItemReadProblem& problem) {
    if (++problems_ > kMaxReportedProblems) return;
    messages_.error(MessageNumber::SettingsFileLineError,
                    {filePath_, problem.lineNumber, problem.lineText, problem.reason});
  }

  bool apply(const TrayPropertyRecord& record, int lineNumber) {
    if (problems_ > kMaxReportedProblems) return false;
    const std::string* reason = record.isCabinet ? applyCabinet(record) : applyTray(record);
    if (!reason) return true;
    report({lineNumber, record.path, *reason});
    return false;
  }

  bool gaveUp() const { return problems_ > kMaxReportedProblems; }

private:
  // Each returns the reason of a failure, or nullptr when the record took.
  const std::string* applyCabinet(const TrayPropertyRecord& record) const {
    return ensureCabinet(store_, record.path) ? nullptr : &cabinetNotCreatedReason();
  }

  const std::string* applyTray(const TrayPropertyRecord& record) const {
    const TrayFile tray(store_, record.path);
    if (tray.exists()) return tray.rewriteProperties(record.properties) ? nullptr : &trayNotCreatedReason();
    if (platform::pathExists(tray.path(filetype::kIndex)) || platform::pathExists(tray.path(filetype::kText)))
      return &notATrayReason();
    if (!ensureCabinet(store_, platform::directoryOf(record.path))) return &cabinetNotCreatedReason();
    return tray.create(record.properties) ? nullptr : &trayNotCreatedReason();
  }

  const StoreLocation& store_;
  std::string filePath_;
  core::Messages& messages_;
  int problems_ = 0;
};

}  // namespace

std::vector<TrayPropertyRecord> treeRecords(const StoreLocation& store, std::string_view cabinet,
                                            bool& complete) {
  std::vector<TrayPropertyRecord> records;
  complete = true;
  appendCabinet(store, std::string(cabinet), records);
  walkTree(store, cabinet, [&](const TreeEntry& entry) {
    if (entry.isCabinet) return appendCabinet(store, entry.path, records);
    if (!appendTray(store, entry.path, records)) complete = false;
  });
  return records;
}

bool exportTree(const StoreLocation& store, std::string_view cabinet, std::string_view filePath) {
  if (!isCabinet(store, cabinet)) return false;
  bool complete = false;
  const std::vector<TrayPropertyRecord> records = treeRecords(store, cabinet, complete);
  return platform::writeFileAtomically(filePath, formatTrayPropertyFile(records)) && complete;
}

bool importTree(const StoreLocation& store, std::string_view filePath, core::Messages& messages) {
  // Records only ever build below an existing top cabinet: a store that is
  // not there (an empty store root names "/") is not made by an import.
  if (!isCabinet(store, "")) return false;
  platform::LineReader lines = platform::LineReader::openFile(filePath);
  if (!lines.isOpen()) return false;
  Importer importer(store, filePath, messages);
  const bool read = readTrayPropertyRecords(
      lines, [&](const TrayPropertyRecord& record) { return importer.apply(record, lines.lineNumber()); },
      [&](const core::ItemReadProblem& problem) { importer.report(problem); });
  return read && !importer.gaveUp();
}

}  // namespace zorvik::store
