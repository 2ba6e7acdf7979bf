/// \file
/// The copy loop under backup, import and export: the mails of one tray
/// that fall inside a date limit and are not in the destination yet are
/// copied to the end of another tray, which may lie outside the store (a
/// full path). Every record visited is reported as "BACKUP...<tray> : <n>"
/// or "MERGE...<tray> : <n>".
///
/// Two mails are the same (and the second is not copied) when their thread
/// keys and dates are equal and the destination's Subject begins with the
/// source's. The destination's records are read once into memory, and each
/// copied mail joins them, so running the same backup twice copies nothing
/// the second time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Progress.h"
#include "store/BackupPeriod.h"
#include "store/MailOperations.h"

namespace zorvik::store {

struct MergeSwitches {
  bool keepLinks = false;       // link rows become links to the same mails
  bool keepReferences = false;  // links to a copied mail follow it to the copy
  bool testEquality = true;     // mails already in the destination are skipped
};

class TrayCopy {
public:
  /// A count that says the source or destination could not be opened.
  static constexpr int kCannotOpen = -1;

  TrayCopy(StoreLocation store, core::Progress& progress, int zoneHours = MailCopy::kDefaultZoneHours);

  /// Copies the stored mails of `source` (no link rows) dated within
  /// `limit` into `destination`; with `deleteCopied` each copied mail is
  /// then deleted for good from the source. Returns the number copied.
  int backup(std::string_view source, std::string_view destination, const DateLimit& limit,
             bool deleteCopied) const;
  /// Copies the mails of `source` dated within `limit` into `destination`
  /// as `switches` say. Returns the number of rows written. With
  /// `inDestination`, the indices of the source's mails whose copies are in
  /// the destination now are added to it: those written, and those skipped
  /// because an equal mail was there already.
  int merge(std::string_view source, std::string_view destination, const DateLimit& limit,
            const MergeSwitches& switches, std::vector<std::uint32_t>* inDestination = nullptr) const;
  /// The live mails the period left out, over every call so far.
  int outsidePeriod() const { return outsidePeriod_; }

private:
  struct Selection {
    std::vector<std::uint32_t> mails;
    std::vector<TrayRecord> links;
    std::vector<std::uint32_t> present;  // skipped: an equal mail is there
  };
  std::optional<Selection> select(std::string_view source, std::string_view destination, const DateLimit& limit,
                                  std::string_view label, bool takeLinks, bool testEquality) const;

  StoreLocation store_;
  core::Progress& progress_;
  MailOperations mails_;
  mutable int outsidePeriod_ = 0;
};

}  // namespace zorvik::store
