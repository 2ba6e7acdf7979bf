/// \file
/// The files saved from received mail since the list was last emptied, kept
/// for the whole process: when a receive is abandoned half-way, its mails are
/// not stored, so the attachments already saved for them must go too, or
/// they would lie in the attachment folders with nothing referring to them.
/// Safe to use from any thread (the receive runs beside the windows).
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::message {

class SavedFileList {
public:
  /// The one list of the process.
  static SavedFileList& instance();

  void add(std::string_view path);
  /// Deletes every listed file (a file already gone is no error) and empties
  /// the list.
  void deleteAll();
  /// Forgets the files without deleting them: the receive was stored.
  void clear();
  std::vector<std::string> paths() const;

private:
  mutable std::mutex mutex_;
  std::vector<std::string> paths_;
};

}  // namespace zorvik::message
