#include "compose/ReplySubject.h"

#include "core/SjisText.h"

namespace zorvik::compose {
namespace {

enum class Step { R, E, ColonOrCaret, AfterCaret, OneDigit, TwoDigits };

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

ReplySubject::Count ReplySubject::count(std::string_view subject) {
  Count result{0, subject};
  Step step = Step::R;
  int number = 0;
  for (std::size_t at = 0; at < subject.size(); at += core::sjisCharLength(subject, at)) {
    if (core::sjisCharLength(subject, at) == 2) continue;
    const char c = subject[at];
    int counted = 0;
    switch (step) {
      case Step::R:
        if (c == 'R' || c == 'r') step = Step::E;
        continue;
      case Step::E:
        if (c == 'E' || c == 'e') step = Step::ColonOrCaret;
        continue;
      case Step::ColonOrCaret:
        if (c == '^') step = Step::AfterCaret;
        if (c != ':') continue;
        counted = 1;
        break;
      case Step::AfterCaret:
        if (isDigit(c)) {
          number = c - '0';
          step = Step::OneDigit;
          continue;
        }
        counted = 1;
        break;
      case Step::OneDigit:
        if (isDigit(c)) {
          number = number * 10 + (c - '0');
          step = Step::TwoDigits;
          continue;
        }
        counted = number;
        break;
      case Step::TwoDigits:
        counted = number;
        break;
    }
    result.replies += counted;
    result.rest = subject.substr(at + 1);
    step = Step::R;
  }
  return result;
}

std::string ReplySubject::reply(std::string_view subject) {
  const Count earlier = count(subject);
  if (earlier.replies == 0) return "Re:" + std::string(subject);
  return "Re^" + std::to_string(earlier.replies + 1) + ":" + std::string(earlier.rest);
}

std::string ReplySubject::withoutKeyword(std::string_view subject, std::string_view keyword) {
  if (keyword.empty()) return std::string(subject);
  const std::string bracketed = "[" + std::string(keyword) + "]";
  const std::size_t at = core::findSjis(subject, bracketed);
  if (at == std::string_view::npos) return std::string(subject);
  return std::string(subject.substr(0, at)) + std::string(subject.substr(at + bracketed.size()));
}

}  // namespace zorvik::compose
