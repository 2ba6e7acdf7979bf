/// \file
/// Mails kept one to a file: a Maildir folder (the files of its "cur" and
/// "new" folders together, in the order of their names, which begin with
/// the time of delivery) and ".eml" files (one file, or every ".eml" file of
/// a folder). Names beginning with "." are passed over, as are folders; a
/// file that cannot be read or holds nothing is skipped and counted.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/MailHandler.h"

namespace zorvik::import {

class SingleMailFiles {
public:
  /// The mail files of the Maildir `folder`; empty when it has neither a
  /// "cur" nor a "new" folder.
  static std::optional<std::vector<std::string>> ofMaildir(std::string_view folder);
  /// `path` itself when it is a file, else the ".eml" files of the folder
  /// (extension compared without regard to case); empty when it is neither.
  static std::optional<std::vector<std::string>> ofEml(std::string_view path);

  /// Hands every file's mail to `each`; a file that cannot be read or is
  /// empty is counted in `skipped`.
  static ReadEnd read(const std::vector<std::string>& files, const MailHandler& each, std::size_t& skipped);
};

}  // namespace zorvik::import
