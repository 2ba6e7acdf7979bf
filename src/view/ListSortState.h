/// \file
/// How the mail list is ordered: a sort column (0-4, or -1 for the order of
/// the tray file), whether threads are shown (always over the date column),
/// and one direction per column (0 ascending, 1 descending) that is kept
/// for that column across trays.
///
/// The state travels in two forms: the tray's own sort properties (item
/// 0 file order, 1-5 a column, 6 and 7 the date column with threads; a
/// direction) applied when a tray is loaded, and the layout values saved at
/// exit (a column, 5 or more for threads; the direction of that column).
#pragma once

#include <array>

namespace zorvik::view {

class ListSortState {
public:
  static constexpr int kColumns = 5;
  static constexpr int kFileOrder = -1;
  static constexpr int kDateColumn = 3;

  int column() const { return column_; }
  bool threads() const { return threads_; }
  int direction(int column) const { return column >= 0 && column < kColumns ? directions_[column] : 0; }
  /// The direction of the sort column.
  int direction() const { return direction(column_); }

  /// A click on a column's header: the sort column reverses its direction;
  /// another column becomes the sort column and the threads go.
  void click(int column);
  /// The thread command: the date column with threads, or (off) the date
  /// column without.
  void setThreads(bool on);

  /// From a tray's sort properties.
  void applyTrayProperties(int direction, int item);
  /// The tray's sort properties for this state: {direction, item}.
  std::array<int, 2> trayProperties() const;

  /// From the layout values (LVSO_I, LVSO_O).
  void applyLayout(int column, int direction);
  /// The layout values for this state: {column, direction}.
  std::array<int, 2> layout() const;

  bool operator==(const ListSortState&) const = default;

private:
  void setColumnDirection(int column, int direction);

  int column_ = kDateColumn;
  bool threads_ = false;
  std::array<int, kColumns> directions_{0, 0, 0, 1, 0};
};

}  // namespace zorvik::view
