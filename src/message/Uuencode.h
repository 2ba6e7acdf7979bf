/// \file
/// Uuencoding of an attachment into a mail body (x-uuencode), the partner of
/// UuDecoder.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::message {

/// "begin 666 <name>" CR LF, then one line per 45 bytes of `content` (its
/// length character and four characters per three bytes, the last group
/// padded with zero bytes, 0 written as "`"), then the "`" line of the empty
/// last block, "end" CR LF and one empty line. `fileName` goes out as given.
std::string uuencodeBody(std::string_view content, std::string_view fileName);

}  // namespace zorvik::message
