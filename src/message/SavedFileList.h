/// \file
/// The files one decode has saved. When the mail is not stored after all (a
/// later part could not be saved, the work file refused the text), the
/// attachments already saved for it must go too, or they would lie in the
/// attachment folder with nothing referring to them.
///
/// Each decode owns its own list, so decodes running side by side on
/// several threads never delete or forget each other's files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorvik::message {

class SavedFileList {
public:
  void add(std::string_view path) { paths_.emplace_back(path); }
  /// Deletes every listed file (a file already gone is no error) and empties
  /// the list.
  void deleteAll();
  const std::vector<std::string>& paths() const { return paths_; }

private:
  std::vector<std::string> paths_;
};

}  // namespace zorvik::message
