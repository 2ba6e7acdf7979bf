#include "sorting/SortExpression.h"

#include "sorting/TextMatch.h"

namespace zorvik::sorting {
namespace {

using namespace expressionerror;

constexpr std::string_view kRelations = "=\\<>";
constexpr std::string_view kLogic = "&^|";

// Error codes of one side of a comparison.
struct OperandErrors {
  int unknownField;
  int badLiteral;
  int notAnOperand;
};
constexpr OperandErrors kLeftErrors{kLeftUnknownField, kLeftBadLiteral, kTermExpected};
constexpr OperandErrors kRightErrors{kRightUnknownField, kRightBadLiteral, kRightOperandExpected};

// A recursive-descent reader that evaluates as it reads. The first error
// stops everything: every function returns at once once `error` is set.
class Evaluator {
public:
  Evaluator(std::string_view text, const FieldLookup& fields) : text_(text), fields_(fields) {}

  ExpressionResult run() {
    const bool value = expression();
    if (error_ == kNone && depth_ != 0) error_ = kUnbalanced;
    if (error_ != kNone) return {false, error_};
    return {value, kNone};
  }

private:
  bool atEnd() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\r' || text_[pos_] == '\n')) ++pos_;
    return pos_ >= text_.size();
  }

  bool fail(int code) {
    if (error_ == kNone) error_ = code;
    return false;
  }

  // expression = term { logic term } [")"]
  bool expression() {
    bool value = term();
    while (error_ == kNone && !atEnd()) {
      const char c = text_[pos_];
      if (c == ')') {
        ++pos_;
        --depth_;
        return value;
      }
      if (kLogic.find(c) == std::string_view::npos) return fail(kLogicExpected);
      ++pos_;
      const bool next = term();
      if (c == '&') value = value && next;
      if (c == '^') value = value != next;
      if (c == '|') value = value || next;
    }
    return value;
  }

  // term = ["!"] ( "(" expression | comparison )
  bool term() {
    if (atEnd()) return fail(kUnexpectedEnd);
    bool negate = false;
    if (text_[pos_] == '!') {
      negate = true;
      ++pos_;
      if (atEnd()) return fail(kUnexpectedEnd);
    }
    bool value = false;
    if (text_[pos_] == '(') {
      ++pos_;
      ++depth_;
      value = expression();
    } else {
      value = comparison();
    }
    return negate ? !value : value;
  }

  bool comparison() {
    const auto left = operand(kLeftErrors);
    if (!left) return false;
    if (atEnd()) return fail(kUnexpectedEnd);
    const char relation = text_[pos_];
    if (kRelations.find(relation) == std::string_view::npos) return fail(kRelationExpected);
    ++pos_;
    const auto right = operand(kRightErrors);
    if (!right) return false;
    switch (relation) {
      case '=': return *left == *right;
      case '\\': return *left != *right;
      case '<': return containsSjis(*right, *left);
      default: return containsSjis(*left, *right);
    }
  }

  std::optional<std::string> operand(const OperandErrors& errors) {
    if (atEnd()) {
      fail(kUnexpectedEnd);
      return std::nullopt;
    }
    if (text_[pos_] == '"') return literal(errors);
    if (text_[pos_] == '[') return field(errors);
    fail(errors.notAnOperand);
    return std::nullopt;
  }

  std::optional<std::string> literal(const OperandErrors& errors) {
    const auto close = text_.find('"', pos_ + 1);
    if (close == std::string_view::npos || close == pos_ + 1) {
      fail(errors.badLiteral);
      return std::nullopt;
    }
    std::string value(text_.substr(pos_ + 1, close - pos_ - 1));
    pos_ = close + 1;
    return value;
  }

  std::optional<std::string> field(const OperandErrors& errors) {
    const auto close = text_.find(']', pos_);
    std::optional<std::string> value;
    if (close != std::string_view::npos) value = fields_(text_.substr(pos_, close - pos_ + 1));
    if (!value) {
      fail(errors.unknownField);
      return std::nullopt;
    }
    pos_ = close + 1;
    return value;
  }

  std::string_view text_;
  const FieldLookup& fields_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  int error_ = kNone;
};

}  // namespace

ExpressionResult evaluateExpression(std::string_view text, const FieldLookup& fields) {
  return Evaluator(text, fields).run();
}

}  // namespace zorvik::sorting
