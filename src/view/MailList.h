/// \file
/// What the mail list shows for the node selected in the tree: for a tray,
/// one row per mail (links resolved to the mail they point at); for a
/// cabinet, one row per sub-cabinet and tray. It holds the rows, their
/// order (sorted by a column, by the file, or as threads), the five column
/// texts, the icon, state image and overlay of each row, and whether a row
/// is drawn in the unread colour.
///
/// A tray's index is read once when it is shown, in large blocks, into
/// compact rows (what ordering and drawing need); the texts of a row are
/// read and made only when a view asks for them, so a tray of 100,000
/// mails is ready in little more than the time it takes to read its index. A mail is always known by its record index in the tray,
/// never by its row: sorting and threading only change the order.
///
/// Rows: a record that cannot be read is not listed, except a link whose
/// mail is gone (listed with overlay 3 and the name of the tray it pointed
/// into). Icons follow the status word: not opened 4 (sent by the user),
/// 2 (addressed to the user), 6 (other); opened 5, 3, 7. Cabinets have icon
/// 0, trays 8 plus their system kind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ItemValues.h"
#include "store/IndexRecord.h"
#include "store/StoreLocation.h"
#include "view/KeyedOrder.h"
#include "view/ListSortState.h"
#include "view/RecordCache.h"
#include "view/TreeNode.h"

namespace zorvik::view {

/// The values of the settings the list shows by.
struct ListAppearance {
  std::string dateFormat = "%y/%m/%d %H:%M";  // item 309 (strftime)
  std::string threadTopMark;                   // item 310
  std::string threadIndent = " ";              // item 311
  int zoneHours = 9;                           // from item 109

  static ListAppearance fromSettings(const core::ItemValues& settings, int zoneHours);
};

class MailList {
public:
  static constexpr int kColumns = 5;
  enum Column : int { kName = 0, kAddress = 1, kSubject = 2, kDate = 3, kLines = 4 };
  enum class RowClass : std::uint8_t { Cabinet, Tray, Mail };

  explicit MailList(ListAppearance appearance = {}) : appearance_(std::move(appearance)) {}

  /// Shows the mails of `tray`, ordered as its sort properties say. False
  /// when the tray cannot be read (the list is then empty).
  bool showTray(const store::StoreLocation& store, const core::ItemValues& settings, const std::string& tray);
  /// Shows the cabinets and trays of `cabinet`.
  void showCabinet(const store::StoreLocation& store, const core::ItemValues& settings, const std::string& cabinet);
  void clear();
  void setAppearance(ListAppearance appearance) { appearance_ = std::move(appearance); }

  /// The tray shown, or the cabinet.
  const std::string& path() const { return path_; }
  bool showsTray() const { return showsTray_; }
  int trayKind() const { return trayKind_; }

  std::size_t rowCount() const { return order_.size(); }
  RowClass rowClass(std::size_t row) const;
  /// Column titles ("行数" becomes "サイズ" in the mail server tray).
  std::string columnTitle(int column) const;
  std::string text(std::size_t row, int column) const;
  int icon(std::size_t row) const;
  int stateImage(std::size_t row) const;  // 0 none
  int overlay(std::size_t row) const;     // 0 none
  bool unread(std::size_t row) const;
  std::uint32_t flags(std::size_t row) const;
  /// The thread depth of a row (0 outside the thread display).
  std::uint32_t depth(std::size_t row) const;

  /// A mail row's record index in the tray.
  std::optional<std::uint32_t> mailIndex(std::size_t row) const;
  /// For a link row: the tray and index of the mail it points at.
  std::optional<std::pair<std::string, std::uint32_t>> linkTarget(std::size_t row) const;
  /// A cabinet or tray row's node.
  const TreeNode* node(std::size_t row) const;
  /// The row showing mail `index`.
  std::optional<std::size_t> rowOfMail(std::uint32_t index) const;
  /// The first mail row after `row` (from the top for none) not yet opened.
  std::optional<std::size_t> nextUnread(std::optional<std::size_t> row) const;
  /// The first mail row after `row` carrying mark `mark` (1-5); wraps
  /// around to the top.
  std::optional<std::size_t> nextWithMark(std::optional<std::size_t> row, int mark) const;

  std::size_t mailCount() const { return mails_.size(); }
  std::size_t unreadCount() const;

  /// The mail's opened bit changed in the tray: the row follows.
  void setOpened(std::uint32_t index, bool opened);
  /// The mail's mark changed.
  void setMark(std::uint32_t index, int mark);

  const ListSortState& sortState() const { return sort_; }
  /// Orders by the state given (a header click, the thread command, the
  /// window's saved state at start).
  void setSortState(const ListSortState& state);
  /// The sort state changed while this tray was shown: the tray's sort
  /// properties {direction, item} to write back when it is left.
  std::optional<std::array<int, 2>> changedTraySort() const;

private:
  // What the list orders and draws by, for every mail; the texts come
  // from the record cache when a view asks.
  struct MailRow {
    std::uint32_t index = 0;  // record index in the shown tray
    std::uint32_t flags = 0;  // the mail's (a link's target's, link bit set)
    std::int32_t date = 0;
    std::uint32_t lines = 0;
    store::ThreadKey own{};
    store::ThreadKey parent{};
    std::uint32_t linkIndex = 0;
    std::uint16_t linkTray = 0;  // 1 + position in linkTrays_; 0 not a link
    bool broken = false;         // a link whose mail is gone
  };
  struct EntryRow {
    TreeNode node;
    std::int64_t fileTime = 0;
  };

  /// `texts`: the ranks of the sort column's texts when the caller took
  /// them already.
  void reorder(const TextRanks* texts = nullptr);
  void sortRows(const TextRanks* texts);
  std::string mailText(const MailRow& row, std::size_t position, int column) const;
  /// The name, address or subject field of a record.
  static std::string_view textOf(const store::IndexRecord& record, int column);
  /// The ranks of every row's text in `column`, read from the tray.
  std::vector<std::uint32_t> readTextRanks(int column) const;
  /// Orders order_ (still in file order) by the rows' ranks, ascending.
  void orderByRanks(const std::vector<std::uint32_t>& ranks);
  std::string entryText(const EntryRow& row, int column) const;
  std::string dateText(std::int64_t seconds) const;
  const MailRow* mailAt(std::size_t row) const;

  ListAppearance appearance_;
  std::string path_;
  bool showsTray_ = false;
  int trayKind_ = 0;
  std::vector<MailRow> mails_;
  std::vector<EntryRow> entries_;
  std::vector<std::string> linkTrays_;
  store::StoreLocation store_;
  mutable RecordCache records_;
  std::vector<std::uint32_t> order_;  // positions in mails_ or entries_
  std::vector<std::uint32_t> depth_;  // by display row, thread display only
  ListSortState sort_;
  std::array<int, 2> loadedTraySort_{0, 0};
};

}  // namespace zorvik::view
