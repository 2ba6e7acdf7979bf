#include "platform/DesktopLauncher.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::platform {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

// The value of XDG_DESKTOP_DIR in a user-dirs.dirs file: a shell assignment
// of a double-quoted path that may begin with "$HOME".
std::string desktopFromUserDirs(const std::string& file, const std::string& home) {
  std::ifstream in(file);
  std::string line;
  constexpr std::string_view kKey = "XDG_DESKTOP_DIR=\"";
  while (std::getline(in, line)) {
    if (!line.starts_with(kKey)) continue;
    std::string value = line.substr(kKey.size());
    value = value.substr(0, value.find('"'));
    if (value.starts_with("$HOME")) value = home + value.substr(5);
    if (!value.starts_with("/")) return {};
    return value;
  }
  return {};
}

}  // namespace

// Inside the quotes a double quote, backquote, dollar and backslash need a
// backslash in front; the file's string escapes are undone before that, so
// every such backslash is written twice (a literal backslash becomes four).
// "%" would start a field code and is doubled.
std::string desktopEntryArgument(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += "\\\\";
    if (c == '\\') out += "\\";
    if (c == '%') out += '%';
    out += c;
  }
  return out + "\"";
}

std::string desktopDirectory() {
  const std::string home = environment("HOME");
  if (home.empty()) return {};
  std::string config = environment("XDG_CONFIG_HOME");
  if (config.empty()) config = home + "/.config";
  std::string desktop = desktopFromUserDirs(config + "/user-dirs.dirs", home);
  if (desktop.empty()) desktop = home + "/Desktop";
  return sjisPath(std::filesystem::path(desktop));
}

std::string desktopLauncherText(std::string_view accountName, std::string_view programFile,
                                std::string_view settingsPath) {
  const std::string name = sjisToUtf8(accountName);
  return "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Zorvik(" + name + ")\nExec=" +
         desktopEntryArgument(sjisToUtf8(programFile)) + " " +
         desktopEntryArgument(sjisToUtf8(settingsPath)) + "\nTerminal=false\n";
}

bool createDesktopLauncher(std::string_view desktop, std::string_view accountName,
                           std::string_view programFile, std::string_view settingsPath) {
  if (desktop.empty() || !isDirectory(desktop)) return false;
  const std::string path = joinPath(desktop, "Zorvik(" + std::string(accountName) + ").desktop");
  if (!writeFileAtomically(path, desktopLauncherText(accountName, programFile, settingsPath)))
    return false;
  // Desktops start only launchers that are executable.
  std::error_code ec;
  std::filesystem::permissions(nativePath(path),
                               std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec |
                                   std::filesystem::perms::others_exec,
                               std::filesystem::perm_options::add, ec);
  return true;
}

}  // namespace zorvik::platform
