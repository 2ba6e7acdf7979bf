/// \file
/// The logical expressions of a tray's sorting rule, such as
///
///     [Subject:] > "abc" & ![From:] > "x"
///
/// The expression is evaluated left to right as it is read, with no
/// precedence between the logical operators: A | B & C is (A or B) and C.
///
///   operands     "literal" (taken as it is, no escapes, never empty) or a
///                field: [Date:] [From:] [Subject:] [To:] [Cc:] [Sender:]
///                [Reply-To:] [Message-Id:] [References:] [In-Reply-To:]
///                [Status:] [name] [name@] [addr]
///   relations    =  equal      \  different
///                <  left occurs within right   >  right occurs within left
///   logic        &  and   ^  exclusive or   |  or;  "!" negates a term
///   grouping     ( ... ); blanks, CR and LF between tokens are skipped
///
/// A syntax error gives one of the error codes below and the value false.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik::sorting {

namespace expressionerror {
inline constexpr int kNone = 0;
inline constexpr int kLeftUnknownField = 101;
inline constexpr int kLeftBadLiteral = 102;
inline constexpr int kTermExpected = 103;
inline constexpr int kRelationExpected = 111;
inline constexpr int kRightUnknownField = 121;
inline constexpr int kRightBadLiteral = 122;
inline constexpr int kRightOperandExpected = 123;
inline constexpr int kLogicExpected = 131;
inline constexpr int kUnexpectedEnd = 141;
inline constexpr int kUnbalanced = 600;
}  // namespace expressionerror

struct ExpressionResult {
  bool value = false;
  int error = expressionerror::kNone;
};

/// The value of a field reference (with its brackets, "[Subject:]"), or
/// nothing when the name is not a field.
using FieldLookup = std::function<std::optional<std::string>(std::string_view name)>;

ExpressionResult evaluateExpression(std::string_view text, const FieldLookup& fields);

}  // namespace zorvik::sorting
