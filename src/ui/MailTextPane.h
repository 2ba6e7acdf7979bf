/// \file
/// The mail text pane: a mail's stored text as it is in its tray (header
/// lines, an empty line, the body), read only, or the one-line title of a
/// cabinet or tray. Tags, colours and printing come with the reading
/// window's own work; this pane shows the text plainly.
#pragma once

#include <QPlainTextEdit>

#include <cstdint>
#include <optional>
#include <string>

#include "store/StoreLocation.h"

namespace zorvik::ui {

class MailTextPane : public QPlainTextEdit {
  Q_OBJECT

public:
  explicit MailTextPane(QWidget* parent = nullptr);

  /// Shows mail `index` of `tray`; false (and an empty pane) when it
  /// cannot be read.
  bool showMail(const store::StoreLocation& store, const std::string& tray, std::uint32_t index);
  /// Shows a one-line title (a cabinet or tray selected).
  void showTitle(const QString& title);
  void clearMail();

  /// The mail shown, if any.
  const std::optional<std::pair<std::string, std::uint32_t>>& shownMail() const { return shown_; }
  /// Whether the text is scrolled to its end (read-on goes on from there).
  bool atEnd() const;
  /// Pages down by one screen, the new top on a line start.
  void pageDown();

private:
  std::optional<std::pair<std::string, std::uint32_t>> shown_;
};

}  // namespace zorvik::ui
