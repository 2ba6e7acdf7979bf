/// \file
/// Backup, import and export of trays as a front end runs them: one call
/// each, under the store's lock (44202 while another writer works, since a
/// receive or a sort moving mails under a backup would leave either one
/// half done), stoppable by the user.
///
/// A stop request refuses every tray write that follows it, the way a full
/// disk does: the tray being copied is left as its last finished write left
/// it, the walk ends there, and nothing is lost. A backup that was to
/// delete what it copied deletes only mails whose copy is written (a mail
/// copied but not yet deleted stays in the store, so it is then in both
/// places), and an export removes nothing unless every tray was written.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mailflow/FrontEnd.h"
#include "store/Backup.h"
#include "store/Export.h"
#include "store/Merge.h"

namespace zorvik::mailflow {

class Document;

struct TransferOutcome {
  bool ok = false;       ///< the whole run was done
  int copied = 0;        ///< mails (or rows) written
  int leftOut = 0;       ///< live mails the period left out
  bool stopped = false;  ///< the user stopped it
  /// Trays copied but, asked to delete or remove, left whole: the
  /// mail-server and unsent trays, whose mails still have work to do.
  std::vector<std::string> kept;
};

class TrayTransferFlow {
public:
  /// Each is empty when the store is busy (its message shown).
  static std::optional<TransferOutcome> backup(const Document& document, FrontEnd& front,
                                               const store::BackupRequest& request);
  static std::optional<TransferOutcome> merge(const Document& document, FrontEnd& front,
                                              const store::MergeRequest& request);
  static std::optional<TransferOutcome> exportTrays(const Document& document, FrontEnd& front,
                                                    const store::ExportRequest& request);
};

}  // namespace zorvik::mailflow
