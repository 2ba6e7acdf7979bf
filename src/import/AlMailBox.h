/// \file
/// Reads the mails of an AL-Mail(16) box. The box is a text file of
/// sections; the lines after "[Mails]" (found without regard to case), up
/// to the next line beginning with "[" or the end of the file, name one
/// mail each: the text before "=" plus ".wml" is a file beside the box
/// that holds the mail as text. Empty lines are passed over.
///
/// A mail file that is missing or cannot be read is skipped and counted.
/// Names come from the box, so a name that would reach outside the box's
/// folder (one holding "/", or "." or "..") is skipped the same way.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "import/MailHandler.h"

namespace zorvik::import {

class AlMailBox {
public:
  /// The file names (with ".wml") of the mails of a box's text, in order.
  static std::vector<std::string> mailFiles(std::string_view box);

  /// Hands the text of every mail of the box file at `path` to `each`;
  /// `skipped` counts the mail files that could not be read.
  static ReadEnd readFile(std::string_view path, const MailHandler& each, std::size_t& skipped);
};

}  // namespace zorvik::import
