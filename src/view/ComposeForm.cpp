#include "view/ComposeForm.h"

#include <algorithm>

#include "core/SjisText.h"
#include "platform/TextEncoding.h"

namespace zorvik::view {

namespace {

// Characters of a text, line ends not counted.
std::size_t characterCount(std::string_view sjis) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < sjis.size(); at += core::sjisCharLength(sjis, at))
    if (sjis[at] != '\r' && sjis[at] != '\n') ++count;
  return count;
}

}  // namespace

ComposeForm::ComposeForm(std::string to, std::string cc, std::string bcc, int startHeight)
    : to(std::move(to)), cc(std::move(cc)), bcc(std::move(bcc)), heightMode_(std::clamp(startHeight, 0, 3)) {
  if (!this->bcc.empty()) heightMode_ = std::max(heightMode_, 2);
  else if (!this->cc.empty()) heightMode_ = std::max(heightMode_, 1);
}

std::string ComposeForm::heightButtonText() const {
  return platform::sjisLiteral(heightMode_ == 3 ? "△" : "▼");
}

bool ComposeForm::addAttachment(AttachmentEntry entry) {
  const bool listed = std::any_of(attachments_.begin(), attachments_.end(),
                                  [&](const AttachmentEntry& held) { return held.path == entry.path; });
  if (listed) return false;
  attachments_.push_back(std::move(entry));
  if (attachmentDisplay == AttachmentDisplay::Off) attachmentDisplay = AttachmentDisplay::Details;
  return true;
}

void ComposeForm::removeAttachments(std::vector<std::size_t> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (auto row = rows.rbegin(); row != rows.rend(); ++row)
    if (*row < attachments_.size()) attachments_.erase(attachments_.begin() + static_cast<std::ptrdiff_t>(*row));
}

std::vector<std::string> ComposeForm::attachmentPaths() const {
  std::vector<std::string> paths;
  for (const AttachmentEntry& entry : attachments_) paths.push_back(entry.path);
  return paths;
}

bool ComposeForm::needsCloseQuestion(const std::string& text) const {
  return characterCount(text) > 2 || !subject.empty() || !to.empty();
}

std::string ComposeForm::title(compose::DraftKind kind, bool appending, const std::string& trayName) {
  static const char* const kWords[] = {"", "新規", "返信", "差出人のみに返信", "転送", "追記", "修正"};
  const int number = static_cast<int>(kind);
  std::string title = platform::sjisLiteral(number >= 0 && number <= 6 ? kWords[number] : "");
  if (appending) title += " + " + platform::sjisLiteral("追記");
  return title + " - " + trayName;
}

std::string ComposeForm::sizeText(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes);
  return std::to_string((bytes + 1023) / 1024) + "KB";
}

}  // namespace zorvik::view
