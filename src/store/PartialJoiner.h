/// \file
/// Joins the fragments of split mails (Content-Type message/partial) that
/// have arrived in the new-mail tray. After each receive the fragments of
/// the tray are gathered by id; every set that is complete (numbers 1 to
/// total, all with the same id) is put together in memory, taken through
/// MIME decoding like a received mail, stored in the new-mail tray, and its
/// fragments go to the trash. Incomplete sets stay as they are until their
/// missing fragments arrive.
///
/// The fragments are stored text (decoded, dot-stuffing removed), so the
/// joined text is made into the form a server sends again (each line
/// beginning with "." stuffed, "." at the end) before decoding: a body line
/// that is just "." must not end the joined mail there.
///
/// A fragment received twice: the first of each number is used, and the
/// later copies of a joined set go to the trash with it (they would
/// otherwise make up a second, duplicate set).
#pragma once

#include <cstdint>
#include <string>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "message/MailRecordParser.h"
#include "message/MimeDecoder.h"
#include "store/StoreLocation.h"

namespace zorvik::store {

struct JoinSettings {
  std::string newMailTray;   ///< the tray the fragments arrive in: settings item 203 unless told
  std::string trashTray;     ///< settings item 206
  std::string workFilePath;  ///< the new-mail work file's text file (".XM0"), which the joined mail passes through
  message::MimeDecoderSettings decoding;
  int zoneHours = 9;

  /// The values of the personal settings for `store` (paths of the work
  /// folder taken below the top cabinet when they are relative), joining
  /// in `tray` when one is given (a delivery into another tray).
  static JoinSettings fromSettings(const core::SettingsFile& settings, const StoreLocation& store,
                                   const std::string& tray = {});
};

struct JoinResult {
  std::uint32_t joined = 0;      ///< mails put together and stored
  std::uint32_t firstIndex = 0;  ///< the new-mail tray index of the first of them
};

class PartialJoiner {
public:
  /// `parser` and `messages` must outlive the joiner.
  PartialJoiner(StoreLocation store, JoinSettings settings, const message::MailRecordParser& parser,
                core::Messages& messages);

  /// Joins every complete set in the new-mail tray. Messages: 41124 when
  /// memory runs out while a mail is put together (joining stops), 41125
  /// when decoding or storing a joined mail fails (its saved files are
  /// removed and its fragments stay).
  JoinResult join() const;

private:
  struct Fragment;
  std::vector<Fragment> fragments() const;
  bool joinSet(const std::vector<const Fragment*>& set, JoinResult& result) const;
  std::string joinedText(const std::vector<const Fragment*>& set) const;
  /// Where a joined mail ended up.
  enum class Joined {
    Lost,        ///< decoding or the work file failed: the fragments must stay
    InWorkFile,  ///< the move failed: the start-up recovery stores it
    Stored,
  };
  Joined storeJoined(const std::string& wireText, JoinResult& result) const;

  StoreLocation store_;
  JoinSettings settings_;
  const message::MailRecordParser& parser_;
  core::Messages& messages_;
};

}  // namespace zorvik::store
