#include "platform/MailClientRegistration.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>

#include "platform/DesktopLauncher.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

extern char** environ;

namespace zorvik::platform {
namespace {

std::string applicationsFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return utf8ToSjis(data) + "/applications";
  const char* home = std::getenv("HOME");
  return utf8ToSjis(home ? home : "") + "/.local/share/applications";
}

// Runs xdg-mime quietly; its absence is no failure (a desktop without it
// finds the handler through the entry's MimeType line).
void setDefaultHandler(const std::string& entryName) {
  std::string program = "xdg-mime";
  std::string verb = "default";
  std::string entry = entryName;
  std::string type = "x-scheme-handler/mailto";
  char* argv[] = {program.data(), verb.data(), entry.data(), type.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  if (posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

std::string MailClientRegistration::entryPath(std::string_view settingsName) {
  return applicationsFolder() + "/zorvik-" + std::string(settingsName) + ".desktop";
}

std::string MailClientRegistration::entryText(std::string_view settingsName, std::string_view programFile,
                                              std::string_view settingsPath) {
  return "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Zorvik (" + sjisToUtf8(settingsName) +
         ")\nExec=" + desktopEntryArgument(sjisToUtf8(programFile)) + " " +
         desktopEntryArgument(sjisToUtf8(settingsPath)) +
         " %u\nMimeType=x-scheme-handler/mailto;\nTerminal=false\nNoDisplay=true\n";
}

bool MailClientRegistration::apply(bool on, std::string_view settingsName, std::string_view programFile,
                                   std::string_view settingsPath) {
  const std::string path = entryPath(settingsName);
  if (!on) return !pathExists(path) || removeFile(path);
  if (pathExists(path)) return true;
  const std::string folder = directoryOf(path);
  if (!isDirectory(folder) && !makeDirectories(folder)) return false;
  if (!writeFileAtomically(path, entryText(settingsName, programFile, settingsPath))) return false;
  setDefaultHandler(sjisToUtf8(fileNameOf(path)));
  return true;
}

}  // namespace zorvik::platform
