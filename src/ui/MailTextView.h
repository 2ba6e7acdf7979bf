/// \file
/// The mail text view: one mail read only, drawn by MailTextPainter (the
/// header rows, the separator, the body in its colours with its tags), or
/// the one-line title of a selected cabinet or tray. It scrolls both ways
/// (the body is not wrapped) and paints only the lines in sight.
///
/// Tags answer the mouse: a double click on a mail address asks for a new
/// mail to it (composeTo), on a web or ftp address or network path opens it
/// with the desktop's program, on an attachment line opens the file after
/// the check for code in it (question 40711). A missing file gives 40410,
/// an address nothing can open 40411. A right click shows the tag's menu,
/// or the view's own away from tags. A drag selects text; copy puts it on
/// the clipboard, lines joined with CR LF.
///
/// Test hook: setOpener replaces the desktop's "open".
#pragma once

#include <QAbstractScrollArea>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "store/StoreLocation.h"
#include "ui/MailTextPainter.h"
#include "view/MailTextContent.h"
#include "view/MailTextLayout.h"

namespace zorvik::core {
class SettingsFile;
class Messages;
}  // namespace zorvik::core

namespace zorvik::ui {

class MailTextView : public QAbstractScrollArea {
  Q_OBJECT

public:
  using Opener = std::function<bool(const QUrl&)>;

  /// `settings` and `messages` outlive the view.
  MailTextView(const core::SettingsFile& settings, core::Messages& messages, QWidget* parent = nullptr);
  ~MailTextView() override;

  /// Shows mail `index` of `tray`; false (and an empty view) when it cannot
  /// be read.
  bool showMail(const store::StoreLocation& store, const std::string& tray, std::uint32_t index);
  /// Shows content made elsewhere (a mail being composed, a sample).
  void showContent(view::MailTextContent content);
  void showCabinet(const std::string& name);
  void showTray(const std::string& name);
  void clearMail();
  /// Re-reads fonts and colours after the settings changed.
  void applySettings();

  /// The mail shown, if any, where it is stored (a link's target).
  const std::optional<std::pair<std::string, std::uint32_t>>& shownMail() const { return shown_; }
  const view::MailTextContent& content() const { return content_; }

  /// Marks a search hit: body line `line`, `length` bytes from `offset`
  /// (none for a hit in the header), and scrolls it into sight.
  void showHit(std::size_t line, std::size_t offset, std::size_t length);
  void clearHit();

  /// Whether the text is scrolled to its end (read-on goes on from there).
  bool atEnd() const;
  /// Pages down by one screen.
  void pageDown();

  /// The selected text (Unicode, lines joined with CR LF).
  QString selectedText() const;
  void copy() const;
  void copyAll() const;
  void selectAll();

  bool hasSelection() const { return selection_.has_value(); }

  void setOpener(Opener opener) { opener_ = std::move(opener); }
  /// Shows the menu for a right click away from any tag instead of the
  /// view's own (the main window's "Text" menu); gets the global position.
  void setPlainMenu(std::function<void(const QPoint&)> menu) { plainMenu_ = std::move(menu); }

  /// What a double click on a tag at the body position does (also the
  /// context menus' "アプリから開く").
  void activateTagAt(std::size_t line, std::size_t offset);
  /// Where a point of the viewport falls in the body.
  std::optional<TextPosition> positionAt(const QPoint& point) const;
  /// The viewport point of a body position (for tests and menus).
  QPoint pointOf(const TextPosition& position) const;

signals:
  void composeTo(const QString& address);
  void findRequested();
  void findNextRequested();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void rebuild();
  void updateScrollBars();
  const view::Tag* tagAt(const TextPosition& position) const;
  std::string tagText(std::size_t line, const view::Tag& tag) const;
  void openTag(std::size_t line, const view::Tag& tag);
  void openFolder(std::size_t line, const view::Tag& tag);
  bool openUrl(const QUrl& url);
  void copyFile(const std::string& path) const;

  const core::SettingsFile& settings_;
  core::Messages& messages_;
  view::MailTextContent content_;
  std::unique_ptr<view::MailTextLayout> layout_;
  std::unique_ptr<MailTextPainter> painter_;
  std::optional<std::pair<std::string, std::uint32_t>> shown_;
  std::optional<TextSpan> hit_;
  std::optional<TextPosition> anchor_;
  std::optional<TextSpan> selection_;
  Opener opener_;
  std::function<void(const QPoint&)> plainMenu_;
};

}  // namespace zorvik::ui
