/// \file
/// The file layer. Every path inside Zorvik is Shift_JIS text with "/" between
/// levels; on disk names are UTF-8, as every Linux program expects. These
/// functions convert at the edge, so callers never see a UTF-8 path.
/// None of them throws: failures are results.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::platform {

/// The on-disk (UTF-8) form of a Shift_JIS path.
std::filesystem::path nativePath(std::string_view sjisPath);

/// The Shift_JIS form of an on-disk name or path.
std::string sjisPath(const std::filesystem::path& native);

bool pathExists(std::string_view path);
bool isDirectory(std::string_view path);
bool isRegularFile(std::string_view path);
/// Size in bytes; empty when the file does not exist.
std::optional<std::uint64_t> fileSize(std::string_view path);

/// Creates one directory; true when it exists afterwards.
bool makeDirectory(std::string_view path);
/// Creates a directory and every missing level above it.
bool makeDirectories(std::string_view path);
bool removeFile(std::string_view path);
/// Removes an empty directory.
bool removeDirectory(std::string_view path);
/// Removes a directory with everything in it.
bool removeTree(std::string_view path);
/// Renames, replacing an existing target file.
bool renamePath(std::string_view from, std::string_view to);
/// Copies a file, replacing an existing target.
bool copyFile(std::string_view from, std::string_view to);

struct DirectoryEntry {
  std::string name;  // Shift_JIS, without the directory
  bool isDirectory = false;
};
/// The entries of a directory (not "." and ".."), in no particular order.
std::vector<DirectoryEntry> listDirectory(std::string_view path);

/// Free bytes for an unprivileged writer on the file system holding `path`.
std::optional<std::uint64_t> freeSpace(std::string_view path);

/// The whole file; empty when it cannot be read.
std::optional<std::string> readFile(std::string_view path);
/// Writes a whole file through a temporary name ("<path>.new") and a
/// rename, so that the name holds a complete file at every moment, even when
/// the process is killed or the machine stops: the old content until the new
/// one is on the disk, then the new one. With `previousAs`, the file being
/// replaced is kept under that name (".BAK") before the switch. Two writers
/// of the same file take turns on the temporary name's lock, so neither
/// publishes the other's half-written content.
bool writeFileAtomically(std::string_view path, std::string_view content, std::string_view previousAs = {});

/// Copies the file `from` to `to` through a temporary name ("<to>.new"),
/// forced to the disk and renamed into place: `to` is never half a copy.
bool copyFileAtomically(std::string_view from, std::string_view to);

/// Gives the file `from` the second name `to` (a hard link); where the file
/// system has no hard links (vfat, exFAT, some network shares) or `to` lies
/// on another one, `to` becomes a complete copy (copyFileAtomically). False
/// when neither works; nothing is left at `to` then.
bool linkOrCopy(std::string_view from, std::string_view to);

/// True when both are regular files with the same bytes.
bool sameContent(std::string_view a, std::string_view b);

/// Forces the directory's entries (names made, renamed, removed) to the disk.
bool syncDirectory(std::string_view path);

/// Adds `content` at the end of a file, made when missing; false when it
/// could not be written whole.
bool appendToFile(std::string_view path, std::string_view content);
/// Directory part of a path, with no trailing "/" ("" for a bare name).
std::string directoryOf(std::string_view path);
/// Last component of a path.
std::string fileNameOf(std::string_view path);
/// `dir` and `name` joined with one "/".
std::string joinPath(std::string_view dir, std::string_view name);
/// A full path begins with "/".
bool isFullPath(std::string_view path);
/// The current directory (Shift_JIS).
std::string currentDirectory();
/// The directory of the running program, with a trailing "/".
std::string programDirectory();

}  // namespace zorvik::platform
