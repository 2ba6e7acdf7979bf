/// \file
/// Runs the search bar's commands through mailflow::SearchFlow: stepping
/// ("検索(&F)", "次を検索(&I)"), collecting into the search-results tray
/// ("まとめて検索(&S)", "絞り込み検索..."), the next unread mail, and the
/// stop. Every run goes to the flow's worker thread, so the window keeps
/// drawing: with item 125 off a modal window "検索処理中です" with a stop
/// button waits for it, with item 125 on the user goes on working while the
/// bar is disabled. Progress lines go to the status line. Questions and
/// messages of the run (40731 after a stop) are shown by this thread.
///
/// The window lends what a search needs to know and what it shows through
/// SearchHost.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "mailflow/SearchFlow.h"
#include "view/SearchBarState.h"

class QProgressDialog;
class QWidget;

namespace zorvik::ui {

class SearchBar;

class SearchHost {
public:
  virtual ~SearchHost() = default;
  /// The tray shown in the list ("" none) and its current mail.
  virtual std::string currentTray() const = 0;
  virtual std::optional<std::uint32_t> currentMail() const = 0;
  virtual view::TreeFocus treeFocus() const = 0;
  /// Selects the hit's tray and row and shows the mail with the hit marked.
  virtual void showSearchHit(const search::SearchHit& hit) = 0;
  /// Shows a tray (the search results after collecting).
  virtual void showTray(const std::string& tray) = 0;
  virtual void showStatus(const QString& text) = 0;
};

class SearchCommands : public QObject {
  Q_OBJECT

public:
  /// All must outlive the commands.
  SearchCommands(const mailflow::Document& document, SearchHost& host, SearchBar& bar, QWidget* window);
  ~SearchCommands() override;

  void find();
  void findNext();
  void collect();
  void refined();
  void nextUnread();
  void stop();
  bool running() const { return flow_->running(); }
  /// Waits for a run to end (tests).
  bool waitForEnd(int milliseconds);

signals:
  /// A run ended (after its hit was shown).
  void finished(int result);

private:
  class StatusProgress;
  using Work = std::function<mailflow::SearchOutcome(mailflow::SearchFlow&)>;
  void run(Work work, bool collecting);
  void finish(const mailflow::SearchOutcome& outcome, bool collecting);

  const mailflow::Document& document_;
  SearchHost& host_;
  SearchBar& bar_;
  QWidget* window_;
  std::unique_ptr<StatusProgress> progress_;
  mailflow::StopRequest stop_;
  std::unique_ptr<mailflow::FrontEnd> front_;
  std::unique_ptr<mailflow::SearchFlow> flow_;
  QTimer pump_;
  QPointer<QProgressDialog> modal_;
};

}  // namespace zorvik::ui
