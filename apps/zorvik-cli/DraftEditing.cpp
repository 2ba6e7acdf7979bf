#include "DraftEditing.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "compose/DraftFile.h"
#include "compose/SendCharacterCheck.h"
#include "compose/TemplateFiles.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::cli {
namespace {

std::string editorCommand() {
  for (const char* name : {"VISUAL", "EDITOR"}) {
    const char* value = std::getenv(name);
    if (value && *value) return value;
  }
  return "vi";
}

// The editor named by the environment, given `path` as its last argument
// (the command may carry options of its own, so a shell reads it).
bool runEditor(const std::string& path) {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    const std::string command = editorCommand() + " \"$1\"";
    execl("/bin/sh", "sh", "-c", command.c_str(), "sh", path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool editDraft(CliContext& context, mailflow::OpenDraft& draft) {
  const auto before = compose::DraftFile::read(draft.bodyFile);
  if (!before) return false;
  const std::string copy = draft.bodyFile + ".txt";
  if (!platform::writeFileAtomically(copy, platform::sjisToUtf8(*before))) return false;
  const bool edited = runEditor(platform::nativePath(copy).string());
  const auto saved = platform::readFile(copy);
  platform::removeFile(copy);
  if (!edited || !saved) {
    context.status("zorvik-cli: the editor failed; the draft was not stored");
    return false;
  }
  return mailflow::DraftFlow::edit(draft, compose::TemplateFiles::asSjis(*saved));
}

bool appendBodyFile(CliContext& context, mailflow::OpenDraft& draft, const std::string& path) {
  const auto bytes = platform::readFile(path);
  if (!bytes) {
    context.status("zorvik-cli: cannot read " + path);
    return false;
  }
  std::string body = draft.prepared.body;
  if (!body.empty() && body.back() != '\n') body += '\n';
  return mailflow::DraftFlow::edit(draft, body + compose::TemplateFiles::asSjis(*bytes));
}

void printDraft(CliContext& context, const mailflow::OpenDraft& draft) {
  const compose::PreparedDraft& prepared = draft.prepared;
  std::string text;
  const auto field = [&text](std::string_view name, const std::string& value, bool always) {
    if (always || !value.empty()) text += std::string(name) + value + "\n";
  };
  field("To: ", prepared.to, true);
  field("Cc: ", prepared.cc, false);
  field("Bcc: ", prepared.bcc, false);
  field("Subject: ", prepared.subject, true);
  field("Keyword: ", prepared.keyword, false);
  field("In-Reply-To: ", prepared.inReplyTo, false);
  field("References: ", prepared.references, false);
  context.printText(text + "\n" + prepared.body);
}

void printCharacterCheck(CliContext& context, const std::string& subject, const std::string& text) {
  for (const compose::CharacterFinding& finding : compose::SendCharacterCheck::run(subject, text)) {
    context.printRow({std::to_string(finding.line), std::to_string(finding.column), finding.character,
                      compose::SendCharacterCheck::kindName(finding.kind)});
  }
}

}  // namespace zorvik::cli
