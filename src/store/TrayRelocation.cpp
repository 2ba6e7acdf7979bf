#include "store/TrayRelocation.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/FileSystem.h"
#include "store/OperationStep.h"
#include "store/TrayIndex.h"

namespace zorvik::store {
namespace {

bool isTrayFileOf(std::string_view file, std::string_view base) {
  if (file.size() != base.size() + 4 || !file.starts_with(base) || file[base.size()] != '.') return false;
  return std::tolower(static_cast<unsigned char>(file[base.size() + 1])) == 'x' &&
         std::tolower(static_cast<unsigned char>(file[base.size() + 2])) == 'm';
}

// Two names of the same file, or a whole copy of it: what an interrupted
// relocation leaves.
bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(platform::nativePath(a), platform::nativePath(b), error) ||
         platform::sameContent(a, b);
}

bool isIndexFile(std::string_view file) {
  return std::toupper(static_cast<unsigned char>(file.back())) == '1' &&
         std::toupper(static_cast<unsigned char>(file[file.size() - 3])) == 'X';
}

}  // namespace

TrayRelocation::TrayRelocation(StoreLocation store, std::string from, std::string to)
    : store_(std::move(store)), from_(std::move(from)), to_(std::move(to)) {
  const std::string fromPath = TrayName::path(store_, from_, filetype::kPathOnly);
  const std::string toPath = TrayName::path(store_, to_, filetype::kPathOnly);
  fromDirectory_ = platform::directoryOf(fromPath);
  fromBase_ = platform::fileNameOf(fromPath);
  toDirectory_ = platform::directoryOf(toPath);
  toBase_ = platform::fileNameOf(toPath);
}

std::vector<std::string> TrayRelocation::trayFiles() const {
  std::vector<std::string> files;
  for (const auto& entry : platform::listDirectory(fromDirectory_)) {
    if (!entry.isDirectory && isTrayFileOf(entry.name, fromBase_)) files.push_back(entry.name);
  }
  return files;
}

std::vector<std::string> TrayRelocation::filesOf(const StoreLocation& store, std::string_view tray) {
  const TrayRelocation relocation(store, std::string(tray), std::string(tray));
  std::vector<std::string> paths;
  for (const std::string& file : relocation.trayFiles())
    paths.push_back(platform::joinPath(relocation.fromDirectory_, file));
  return paths;
}

std::string TrayRelocation::newFileName(std::string_view oldFileName) const {
  return toBase_ + std::string(oldFileName.substr(fromBase_.size()));
}

bool TrayRelocation::giveNewNames(const std::vector<std::string>& files, bool copy) const {
  std::vector<std::string> made;
  for (const std::string& file : files) {
    const std::string from = platform::joinPath(fromDirectory_, file);
    const std::string to = platform::joinPath(toDirectory_, newFileName(file));
    if (sameFile(from, to)) continue;
    std::error_code error;
    if (copy) {
      if (!platform::copyFileAtomically(from, to)) error = std::make_error_code(std::errc::io_error);
    } else {
      std::filesystem::create_hard_link(platform::nativePath(from), platform::nativePath(to), error);
    }
    if (error) {
      for (const std::string& name : made) platform::removeFile(name);
      return false;
    }
    made.push_back(to);
    operationStep();
  }
  return true;
}

void TrayRelocation::removeOldNames(const std::vector<std::string>& files) const {
  // The index goes first: without it the name is no tray any more, and a
  // text file left alone by a kill is hidden and harmless.
  for (const bool index : {true, false}) {
    for (const std::string& file : files) {
      if (isIndexFile(file) != index) continue;
      platform::removeFile(platform::joinPath(fromDirectory_, file));
      operationStep();
    }
  }
}

RelocationResult TrayRelocation::run(const std::function<void()>& whileBoth) const {
  if (!TrayName::isUsable(from_) || !TrayName::isUsable(to_) || from_ == to_) return RelocationResult::Failed;
  if (!platform::isRegularFile(TrayName::path(store_, from_, filetype::kIndex))) return RelocationResult::NoSuchTray;
  const std::vector<std::string> files = trayFiles();
  for (const std::string& file : files) {
    const std::string target = platform::joinPath(toDirectory_, newFileName(file));
    if (platform::pathExists(target) && !sameFile(platform::joinPath(fromDirectory_, file), target))
      return RelocationResult::NameTaken;
  }
  for (const int type : {filetype::kIndex, filetype::kText}) {
    const std::string target = TrayName::path(store_, to_, type);
    if (platform::pathExists(target) && !sameFile(TrayName::path(store_, from_, type), target))
      return RelocationResult::NameTaken;
  }
  if (!platform::isDirectory(toDirectory_)) return RelocationResult::Failed;
  std::optional<TrayIndex> held;
  if (!giveNewNames(files, false)) {
    // No hard link reaches the new place (vfat, exFAT, a network share,
    // another file system): the new names become copies, the index last, so
    // the new name is a tray only once it is whole. The old index stays
    // locked until its names are gone, so nothing written to the old tray
    // can miss the copy.
    held = TrayIndex::open(TrayName::path(store_, from_, filetype::kIndex), platform::FileAccess::Update);
    if (!held) return RelocationResult::Failed;
    std::vector<std::string> ordered = trayFiles();
    std::stable_partition(ordered.begin(), ordered.end(), [](const std::string& file) { return !isIndexFile(file); });
    if (!giveNewNames(ordered, true)) return RelocationResult::Failed;
  }
  if (whileBoth) whileBoth();
  removeOldNames(held ? trayFiles() : files);
  return RelocationResult::Done;
}

}  // namespace zorvik::store
