#include "view/ListSortState.h"

namespace zorvik::view {

void ListSortState::setColumnDirection(int column, int direction) {
  if (column >= 0 && column < kColumns) directions_[column] = direction != 0 ? 1 : 0;
}

void ListSortState::click(int column) {
  if (column < 0 || column >= kColumns) return;
  if (column == column_) {
    setColumnDirection(column, 1 - directions_[column]);
    return;
  }
  column_ = column;
  threads_ = false;
}

void ListSortState::setThreads(bool on) {
  threads_ = on;
  column_ = kDateColumn;
}

void ListSortState::applyTrayProperties(int direction, int item) {
  threads_ = item >= 6;
  if (item <= 0 || item > 7) {
    column_ = kFileOrder;
    threads_ = false;
    return;
  }
  column_ = threads_ ? kDateColumn : item - 1;
  setColumnDirection(column_, direction);
}

std::array<int, 2> ListSortState::trayProperties() const {
  if (threads_) return {direction(), 7};
  if (column_ == kFileOrder) return {0, 0};
  return {direction(), column_ + 1};
}

void ListSortState::applyLayout(int column, int direction) {
  if (column >= kColumns) {
    column_ = kDateColumn;
    threads_ = true;
  } else {
    column_ = column < 0 ? kFileOrder : column;
    threads_ = false;
  }
  setColumnDirection(column_, direction);
}

std::array<int, 2> ListSortState::layout() const {
  if (threads_) return {7, direction()};
  return {column_, direction()};
}

}  // namespace zorvik::view
