/// \file
/// The new-mail work file on its way into the store. A receive, a delivery
/// or a fetch from the mail-server tray decodes mails into the work file;
/// this class moves them into a tray (the new-mail tray unless told) and
/// joins the fragments of split mails found there.
///
/// A work file that outlives its workflow (the process was killed, or the
/// disk was full while moving) holds mails already gone from the server.
/// It is taken up again:
///  - at start-up, after question 44111: yes moves it (fatal 44112 when
///    that fails, the file kept); no sets it aside under a dated name
///    (44204), never deleting a received mail because of an answer;
///  - by the next receive or delivery, which holds the store's lock and so
///    knows nobody writes the file any more: it is moved first (44203
///    stops the workflow when that fails).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "store/WorkFileAppender.h"

namespace zorvik::mailflow {

class Document;

/// What a move put into the tray.
struct Intake {
  store::WorkFileResult stored;   ///< the mails of the work file
  std::uint32_t joinedCount = 0;  ///< split mails put together after them
  std::uint32_t joinedFirst = 0;

  /// The records a sort after the move goes over: the stored mails and the
  /// joined ones behind them (the fragments between go to the trash, and
  /// sorting passes deleted records by).
  std::uint32_t sortFirst() const { return stored.firstIndex; }
  std::uint32_t sortCount() const;
};

class WorkFileIntake {
public:
  /// The work file holds mails (it is longer than 10 bytes).
  static bool holdsMail(const Document& document);

  /// Moves the work file's mails into `tray` (the new-mail tray when
  /// empty) and joins split mails there. Empty after 44112 when the mails
  /// cannot be appended: the work file is kept whole.
  static std::optional<Intake> move(const Document& document, const std::string& tray = {});

  /// Before a workflow writes a new work file (the caller holds the store
  /// lock): a leftover one is moved into the new-mail tray, a few bytes of
  /// no mail are removed. False, after 44203, when the leftover cannot be
  /// moved; the workflow must not start then.
  static bool clearForNewMail(const Document& document);

  /// The start-up recovery (question 44111, see above).
  static void recoverAtStart(const Document& document);

private:
  /// move() without its message.
  static std::optional<Intake> append(const Document& document, const std::string& tray);
  /// Moves a work file a dead workflow left into the new-mail tray and
  /// marks its mails' copies in the mail-server tray received.
  static bool appendLeftover(const Document& document);
};

}  // namespace zorvik::mailflow
