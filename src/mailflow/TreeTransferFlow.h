/// \file
/// Backup, merge and export as the front ends start them, on the open
/// document: each runs under the store's lock when it changes the store
/// (a backup that deletes or compacts, every merge, an export that
/// removes), reports its progress through the front end and says what it
/// did: how many mails it copied, how many the period left out, and which
/// trays it copied but kept (the mail-server and unsent trays, whose mails
/// still have work to do).
#pragma once

#include <string>
#include <vector>

#include "mailflow/FrontEnd.h"
#include "store/Backup.h"
#include "store/Export.h"
#include "store/Merge.h"

namespace zorvik::mailflow {

class Document;

struct TransferReport {
  bool ok = false;
  int copied = 0;
  int leftOut = 0;                 // live mails outside the period
  std::vector<std::string> kept;   // copied, but left in the store
};

class TreeTransferFlow {
public:
  static TransferReport backup(const Document& document, FrontEnd& front, const store::BackupRequest& request);
  static TransferReport merge(const Document& document, FrontEnd& front, const store::MergeRequest& request);
  static TransferReport exportTrays(const Document& document, FrontEnd& front, const store::ExportRequest& request);
};

}  // namespace zorvik::mailflow
