/// \file
/// Where the search for a free attachment folder of a day starts. Probing a
/// day's names from 000 for every mail costs one mkdir per earlier folder of
/// that day, so a receive of thousands of mails of one date would spend
/// minutes in the file system; instead the search starts after the folder
/// the last mail of that day (and root) got.
///
/// One object serves the mails of one receive (or of one decode, by
/// default); it is not shared between threads. Claiming stays safe all the
/// same when others make folders in the same root: a name is claimed by
/// mkdir, which fails on a name that exists.
#pragma once

#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik::message {

class AttachmentFolderNumbers {
public:
  /// Creates the next free folder of `date`'s day below `root` (made when
  /// missing) and returns its name; see AttachmentFolder::create. Empty when
  /// nothing can be created.
  std::optional<std::string> claim(std::string_view root, std::time_t date, int zoneHours);

private:
  std::map<std::string, int> next_;  // root + "/" + the day's first name -> next sequence to try
};

}  // namespace zorvik::message
