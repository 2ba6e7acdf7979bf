#include "ui/SearchCommands.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

#include "core/Messages.h"
#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "platform/Clock.h"
#include "platform/Sound.h"
#include "ui/QtText.h"
#include "ui/RefinedSearchDialog.h"
#include "ui/SearchBar.h"

namespace zorvik::ui {

// Progress lines of the worker, handed to the status line on the window's
// thread.
class SearchCommands::StatusProgress final : public core::Progress {
public:
  explicit StatusProgress(SearchCommands& owner) : owner_(owner) {}
  void step(const std::string& text) override {
    QMetaObject::invokeMethod(
        &owner_, [this, line = fromSjis(text)] { owner_.host_.showStatus(line); }, Qt::QueuedConnection);
  }

private:
  SearchCommands& owner_;
};

namespace {

platform::SilentSound& silence() {
  static platform::SilentSound sound;
  return sound;
}

}  // namespace

SearchCommands::SearchCommands(const mailflow::Document& document, SearchHost& host, SearchBar& bar, QWidget* window)
    : QObject(window), document_(document), host_(host), bar_(bar), window_(window) {
  progress_ = std::make_unique<StatusProgress>(*this);
  front_ = std::make_unique<mailflow::FrontEnd>(
      mailflow::FrontEnd{*progress_, silence(), platform::SystemClock::instance(), stop_, nullptr});
  flow_ = std::make_unique<mailflow::SearchFlow>(document_, *front_);
  pump_.setInterval(30);
  connect(&pump_, &QTimer::timeout, this, [this] { document_.messages().pump(); });
  connect(&bar_, &SearchBar::findRequested, this, &SearchCommands::find);
  connect(&bar_, &SearchBar::findNextRequested, this, &SearchCommands::findNext);
  connect(&bar_, &SearchBar::collectRequested, this, &SearchCommands::collect);
  connect(&bar_, &SearchBar::refinedRequested, this, &SearchCommands::refined);
  connect(&bar_, &SearchBar::nextUnreadRequested, this, &SearchCommands::nextUnread);
  connect(&bar_, &SearchBar::stopRequested, this, &SearchCommands::stop);
}

SearchCommands::~SearchCommands() {
  stop_.request();
  flow_.reset();  // waits for the worker
}

void SearchCommands::find() {
  if (bar_.state().begin() == view::SearchBarState::Start::ShowBar) {
    bar_.syncVisibility();
    return;
  }
  const view::SearchBarState& state = bar_.readState();
  run([query = state.query(), scope = state.scope(host_.currentTray(), host_.treeFocus())](
          mailflow::SearchFlow& flow) { return flow.find(query, scope); },
      false);
}

void SearchCommands::findNext() {
  run([](mailflow::SearchFlow& flow) { return flow.findNext(); }, false);
}

void SearchCommands::collect() {
  const view::SearchBarState& state = bar_.readState();
  run([query = state.query(), scope = state.scope(host_.currentTray(), host_.treeFocus())](
          mailflow::SearchFlow& flow) { return flow.collect(query, scope); },
      true);
}

void SearchCommands::refined() {
  RefinedSearchDialog dialog(window_);
  if (dialog.exec() != QDialog::Accepted) return;
  search::SearchQuery query;
  query.refined = dialog.conditions();
  const search::SearchScope scope = dialog.currentTrayOnly() ? search::SearchScope::oneTray(host_.currentTray())
                                                             : search::SearchScope::wholeCabinet("");
  run([query, scope](mailflow::SearchFlow& flow) { return flow.collect(query, scope); }, true);
}

void SearchCommands::nextUnread() {
  run([tray = host_.currentTray(), mail = host_.currentMail()](mailflow::SearchFlow& flow) {
    return flow.nextUnread(search::SearchScope::wholeCabinet(""), tray, mail);
  },
      false);
}

void SearchCommands::stop() { stop_.request(); }

void SearchCommands::run(Work work, bool collecting) {
  if (flow_->running()) return;
  stop_.clear();
  bar_.setRunning(true);
  const bool foreground = !flow_->backgroundWanted();
  const bool started = flow_->inBackground(std::move(work), [this, collecting](const mailflow::SearchOutcome& outcome) {
    QMetaObject::invokeMethod(this, [this, outcome, collecting] { finish(outcome, collecting); }, Qt::QueuedConnection);
  });
  if (!started) {
    bar_.setRunning(false);
    return;
  }
  pump_.start();
  if (!foreground) return;
  modal_ = new QProgressDialog(fromSjis(core::Messages::text(core::MessageNumber::SearchRunning, {})),
                               QString::fromUtf8("検索停止"), 0, 0, window_);
  modal_->setWindowTitle("Zorvik");
  modal_->setWindowModality(Qt::WindowModal);
  modal_->setMinimumDuration(300);
  connect(modal_, &QProgressDialog::canceled, this, &SearchCommands::stop);
}

void SearchCommands::finish(const mailflow::SearchOutcome& outcome, bool collecting) {
  pump_.stop();
  document_.messages().pump();
  if (modal_) {
    modal_->disconnect(this);
    modal_->deleteLater();
  }
  bar_.setRunning(false);
  if (!outcome.refused) {
    if (outcome.hit) host_.showSearchHit(*outcome.hit);
    if (collecting)
      host_.showTray(document_.settings().text(core::item::kSearchResultsTray));
    if (outcome.result == search::SearchResult::End && !collecting) {
      QApplication::beep();
      bar_.state().finished();
      bar_.syncVisibility();
    }
  }
  emit finished(static_cast<int>(outcome.result));
}

bool SearchCommands::waitForEnd(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  bool ended = false;
  const auto connection = connect(this, &SearchCommands::finished, this, [&ended] { ended = true; });
  while (!ended && timer.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
  disconnect(connection);
  return ended;
}

}  // namespace zorvik::ui
