/// \file
/// The main window's commands for reading: the separate text window (its
/// previous and next mail, save, reply and forward through the main
/// window's commands), print, print preview and page set-up, and the
/// search bar with its commands. It also tells the searches what the window
/// shows (the current tray and mail, the tree's focus) and shows their hits:
/// the tray and mail selected, a body hit marked in the text view.
#pragma once

#include <QPointer>
#include <QRect>

#include <memory>
#include <optional>

#include "ui/SearchCommands.h"

namespace zorvik::ui {

class MailPrinter;
class MailTextView;
class MailTextWindow;
class MainWindow;
class SearchBar;

class ReadingCommands : public SearchHost {
public:
  explicit ReadingCommands(MainWindow& window);
  ~ReadingCommands() override;

  /// The search bar, added to the window's top bars (hidden).
  SearchBar& searchBar() const { return *bar_; }
  SearchCommands& search() const { return *search_; }
  void toggleSearchBar();

  void openTextWindow();
  /// The text window's rectangle, when it was opened.
  std::optional<QRect> textWindowGeometry() const;
  void closeTextWindow();

  void print();
  void printPreview();
  void pageSetUp();

  // What a search asks of the window.
  std::string currentTray() const override;
  std::optional<std::uint32_t> currentMail() const override;
  view::TreeFocus treeFocus() const override;
  void showSearchHit(const search::SearchHit& hit) override;
  void showTray(const std::string& tray) override;
  void showStatus(const QString& text) override;

private:
  /// The text view the command is for: the text window's when it is the
  /// active window, else the main window's.
  MailTextView& activeText() const;
  void stepTextWindow(int step);

  MainWindow& window_;
  std::unique_ptr<MailPrinter> printer_;
  SearchBar* bar_;
  SearchCommands* search_;
  QPointer<MailTextWindow> textWindow_;
};

}  // namespace zorvik::ui
