#include "compose/SendCharacterCheck.h"

#include "core/SjisText.h"
#include "message/JisRepertoire.h"

namespace zorvik::compose {
namespace {

bool isHalfWidthKana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

void checkLine(std::string_view line, int number, std::vector<CharacterFinding>& out) {
  int column = 0;
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t length = core::sjisCharLength(line, at);
    const std::string_view character = line.substr(at, length);
    ++column;
    at += length;
    const auto first = static_cast<unsigned char>(character[0]);
    if (!core::isSjisLeadByte(first)) {
      if (isHalfWidthKana(first))
        out.push_back({number, column, std::string(character), CharacterFinding::Kind::halfWidthKana});
      continue;
    }
    switch (message::jisFitOf(character)) {
      case message::JisFit::standard: break;
      case message::JisFit::windowsOnly:
        out.push_back({number, column, std::string(character), CharacterFinding::Kind::windowsOnly});
        break;
      case message::JisFit::replaced:
        out.push_back({number, column, std::string(character), CharacterFinding::Kind::replaced});
        break;
    }
  }
}

}  // namespace

std::vector<CharacterFinding> SendCharacterCheck::run(std::string_view subject, std::string_view text) {
  std::vector<CharacterFinding> findings;
  checkLine(subject, 0, findings);
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number;
    if (!line.starts_with("@#")) checkLine(line, number, findings);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return findings;
}

bool SendCharacterCheck::needsConsent(const std::vector<CharacterFinding>& findings) {
  for (const CharacterFinding& finding : findings) {
    if (finding.kind != CharacterFinding::Kind::halfWidthKana) return true;
  }
  return false;
}

std::string_view SendCharacterCheck::kindName(CharacterFinding::Kind kind) {
  switch (kind) {
    case CharacterFinding::Kind::replaced: return "replaced";
    case CharacterFinding::Kind::windowsOnly: return "windows-only";
    case CharacterFinding::Kind::halfWidthKana: return "half-width-kana";
  }
  return "replaced";
}

}  // namespace zorvik::compose
