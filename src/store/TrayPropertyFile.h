/// \file
/// The tray property file (".XM7"): a tree of cabinets and trays with every
/// tray's properties, as numbered items in a Shift_JIS text file with CR LF
/// line ends. It exports a cabinet's tree and rebuilds it elsewhere, and the
/// tree structure file that a first start reads is one of them.
///
///     ;;Zorvik:トレイプロパティ
///     <record>...            one per cabinet and tray, each ending "##9999:終了"
///     ;;END------------------------------------------
///
/// A cabinet record holds items 1000 (value 1) and 1001 (its path); a tray
/// record holds every item from 1000 (value 0) to 1026. Paths are relative to
/// the top cabinet with "/" between levels.
///
/// This file only turns records into text and text into records; applying
/// them to a store is `TreeTransfer`'s work.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/ItemReader.h"
#include "platform/LineReader.h"
#include "store/TrayProperties.h"

namespace zorvik::store {

struct TrayPropertyRecord {
  bool isCabinet = false;
  std::string path;             // relative to the top cabinet (Shift_JIS)
  TrayProperties properties;    // trays only

  bool operator==(const TrayPropertyRecord&) const = default;
};

/// The whole file for `records`, in their order.
std::string formatTrayPropertyFile(const std::vector<TrayPropertyRecord>& records);

/// Reads records until the end of the file. Each complete record (one that
/// reached "##9999") goes to `onRecord` as soon as it is read, so records
/// before a fault keep their effect; `onRecord` returns false to stop the
/// read as failed (the store could not take the record).
///
/// Problems go to `onProblem` with the line at fault: the item reader's own
/// (unknown id, missing value), a record kind other than 0 or 1, and a path
/// that is empty (for a tray), absolute, climbs with "..", or holds a
/// character no name may hold. Such records are skipped and the read goes
/// on. A record cut off by the end of the file is dropped: half a tray
/// record would create a tray with properties nobody wrote.
///
/// True when the end of the file was reached without an item error and
/// every record was taken; a file with only the header and trailer reads
/// successfully and hands over nothing.
bool readTrayPropertyRecords(platform::LineReader& lines,
                             const std::function<bool(const TrayPropertyRecord&)>& onRecord,
                             const core::ItemReader::ProblemHandler& onProblem);

/// Reason texts of the problems this reader adds to the item reader's
/// (Shift_JIS).
const std::string& badRecordKindReason();
const std::string& badRecordPathReason();

}  // namespace zorvik::store
