/// \file
/// Makes a batch of sorting moves safe against a process that dies half
/// way. A move writes the copy into the chosen tray before it marks the
/// original deleted, so a kill in between would leave the mail twice: once
/// in the new-mail tray and once in its tray. Before each batch the journal
/// notes the source tray, the chosen tray, how many records the chosen tray
/// had, and each mail's index and text offset; after the batch it is
/// removed. The next sorting run (or the start of the program) reads a
/// journal left behind and finishes the batch: an original whose copy is
/// found among the chosen tray's new records is marked deleted, and the
/// links that pointed at it follow the copy. An original without a copy was
/// never moved and stays where it is.
///
/// The journal is a small text file (Shift_JIS, CR LF) written atomically:
///
///     source tray / chosen tray / records before / index offset ...
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/StoreLocation.h"

namespace zorvik::sorting {

class SortJournal {
public:
  SortJournal(std::string path, store::StoreLocation store) : path_(std::move(path)), store_(std::move(store)) {}

  /// Notes that mails `indices` of `source` are about to move into
  /// `destination`. False when the note could not be written (the batch
  /// must not start then).
  bool begin(const std::string& source, const std::vector<std::uint32_t>& indices,
             const std::string& destination) const;
  /// The batch is complete.
  void end() const;

  /// Finishes the batch a killed run left behind, if any; returns how many
  /// originals it marked deleted.
  std::size_t recover() const;

private:
  std::string path_;
  store::StoreLocation store_;
};

}  // namespace zorvik::sorting
