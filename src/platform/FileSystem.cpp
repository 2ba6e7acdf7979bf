#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <fstream>
#include <system_error>

#include "platform/FileLock.h"
#include "platform/TextEncoding.h"

namespace zorvik::platform {
namespace fs = std::filesystem;

fs::path nativePath(std::string_view sjisPath) { return fs::path(sjisToUtf8(sjisPath)); }

std::string sjisPath(const fs::path& native) { return utf8ToSjis(native.native()); }

bool pathExists(std::string_view path) {
  std::error_code ec;
  return fs::exists(nativePath(path), ec);
}

bool isDirectory(std::string_view path) {
  std::error_code ec;
  return fs::is_directory(nativePath(path), ec);
}

bool isRegularFile(std::string_view path) {
  std::error_code ec;
  return fs::is_regular_file(nativePath(path), ec);
}

std::optional<std::uint64_t> fileSize(std::string_view path) {
  std::error_code ec;
  const auto size = fs::file_size(nativePath(path), ec);
  if (ec) return std::nullopt;
  return size;
}

bool makeDirectory(std::string_view path) {
  std::error_code ec;
  const auto native = nativePath(path);
  fs::create_directory(native, ec);
  return fs::is_directory(native, ec);
}

bool makeDirectories(std::string_view path) {
  std::error_code ec;
  const auto native = nativePath(path);
  fs::create_directories(native, ec);
  return fs::is_directory(native, ec);
}

bool removeFile(std::string_view path) {
  std::error_code ec;
  const auto native = nativePath(path);
  if (fs::is_directory(native, ec)) return false;
  return fs::remove(native, ec) && !ec;
}

bool removeDirectory(std::string_view path) {
  std::error_code ec;
  const auto native = nativePath(path);
  if (!fs::is_directory(native, ec)) return false;
  return fs::remove(native, ec) && !ec;
}

bool removeTree(std::string_view path) {
  std::error_code ec;
  fs::remove_all(nativePath(path), ec);
  return !ec;
}

bool renamePath(std::string_view from, std::string_view to) {
  std::error_code ec;
  fs::rename(nativePath(from), nativePath(to), ec);
  return !ec;
}

bool copyFile(std::string_view from, std::string_view to) {
  std::error_code ec;
  fs::copy_file(nativePath(from), nativePath(to), fs::copy_options::overwrite_existing, ec);
  return !ec;
}

std::vector<DirectoryEntry> listDirectory(std::string_view path) {
  std::vector<DirectoryEntry> entries;
  std::error_code ec;
  for (fs::directory_iterator it(nativePath(path), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    entries.push_back({sjisPath(it->path().filename()), it->is_directory(typeError)});
  }
  return entries;
}

std::optional<std::uint64_t> freeSpace(std::string_view path) {
  struct statvfs info {};
  if (statvfs(nativePath(path).c_str(), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

std::optional<std::string> readFile(std::string_view path) {
  std::ifstream in(nativePath(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string content;
  char block[1 << 16];
  while (in.read(block, sizeof block) || in.gcount() > 0) content.append(block, static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return std::nullopt;
  return content;
}

bool syncDirectory(std::string_view path) {
  const int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

bool copyFileAtomically(std::string_view from, std::string_view to) {
  const std::string temporary = std::string(to) + ".new";
  auto file = FileLock::open(temporary, FileAccess::Truncate);
  std::error_code ec;
  if (file) fs::copy_file(nativePath(from), nativePath(temporary), fs::copy_options::overwrite_existing, ec);
  if (!file || ec || !file->sync() || !renamePath(temporary, to)) {
    removeFile(temporary);
    return false;
  }
  syncDirectory(directoryOf(to).empty() ? "." : directoryOf(to));
  return true;
}

bool linkOrCopy(std::string_view from, std::string_view to) {
  std::error_code ec;
  fs::create_hard_link(nativePath(from), nativePath(to), ec);
  if (!ec) return true;
  if (fs::exists(nativePath(to), ec)) return false;
  return copyFileAtomically(from, to);
}

bool sameContent(std::string_view a, std::string_view b) {
  const auto sizeA = fileSize(a);
  if (!sizeA || sizeA != fileSize(b) || !isRegularFile(a) || !isRegularFile(b)) return false;
  std::ifstream inA(nativePath(a), std::ios::binary);
  std::ifstream inB(nativePath(b), std::ios::binary);
  std::string blockA(1 << 16, '\0');
  std::string blockB(1 << 16, '\0');
  while (inA && inB) {
    inA.read(blockA.data(), static_cast<std::streamsize>(blockA.size()));
    inB.read(blockB.data(), static_cast<std::streamsize>(blockB.size()));
    const auto got = static_cast<std::size_t>(inA.gcount());
    if (inB.gcount() != inA.gcount() || blockA.compare(0, got, blockB, 0, got) != 0) return false;
  }
  return !inA.bad() && !inB.bad();
}

bool writeFileAtomically(std::string_view path, std::string_view content, std::string_view previousAs) {
  const std::string temporary = std::string(path) + ".new";
  auto file = FileLock::open(temporary, FileAccess::Truncate);
  if (!file) return false;
  // The content reaches the disk before any name changes: a rename that
  // lands first would otherwise leave an empty file after a power cut.
  if (!file->writeAt(0, content) || !file->sync()) {
    removeFile(temporary);
    return false;
  }
  if (!previousAs.empty() && isRegularFile(path)) {
    // The live file gets its second name before it is replaced, so the name
    // `path` never goes missing, and a failed copy costs only the ".BAK".
    removeFile(previousAs);
    linkOrCopy(path, previousAs);
  }
  if (!renamePath(temporary, path)) {
    removeFile(temporary);
    return false;
  }
  syncDirectory(directoryOf(path).empty() ? "." : directoryOf(path));
  return true;
}

bool appendToFile(std::string_view path, std::string_view content) {
  std::ofstream out(nativePath(path), std::ios::binary | std::ios::app);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.flush();
  return static_cast<bool>(out);
}

std::string directoryOf(std::string_view path) {
  const auto slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string fileNameOf(std::string_view path) {
  const auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string joinPath(std::string_view dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  std::string joined(dir);
  if (joined.back() != '/') joined += '/';
  joined += name;
  return joined;
}

bool isFullPath(std::string_view path) { return !path.empty() && path.front() == '/'; }

std::string currentDirectory() {
  std::error_code ec;
  return sjisPath(fs::current_path(ec));
}

std::string programDirectory() {
  std::error_code ec;
  const auto program = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return joinPath(currentDirectory(), "");
  return joinPath(sjisPath(program.parent_path()), "");
}

}  // namespace zorvik::platform
