/// \file
/// The fields of a stored header block: lines "Name: value" ending in
/// CR LF, already unfolded and decoded to Shift_JIS when the mail was
/// stored, so every field is one line.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace zorvik::search {

/// Calls `visit` with the value of every line of `header` whose field name
/// is `name` (compared without regard to case): the text after the colon
/// and the blanks that follow it, without the line end, and its offset in
/// `header`. Stops when `visit` returns false.
void forEachField(std::string_view header, std::string_view name,
                  const std::function<bool(std::string_view value, std::size_t offset)>& visit);

}  // namespace zorvik::search
