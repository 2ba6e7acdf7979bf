#include "ui/WorkflowRunner.h"

#include <QApplication>
#include <QMetaObject>

#include <mutex>

#include "platform/Clock.h"
#include "platform/Sound.h"
#include "ui/QtText.h"

namespace zorvik::ui {

class WorkflowRunner::Progress final : public core::Progress {
public:
  explicit Progress(WorkflowRunner& owner) : owner_(owner) { clock_.start(); }
  void step(const std::string& text) override {
    std::lock_guard lock(mutex_);
    // The work calls this once a record; the status line needs far less.
    if (clock_.isValid() && clock_.elapsed() < 100 && !first_) return;
    first_ = false;
    clock_.restart();
    const QString shown = fromSjis(text);
    QMetaObject::invokeMethod(&owner_, [this, shown] { emit owner_.progress(shown); }, Qt::QueuedConnection);
  }
  void reset() {
    std::lock_guard lock(mutex_);
    first_ = true;
  }

private:
  WorkflowRunner& owner_;
  std::mutex mutex_;
  QElapsedTimer clock_;
  bool first_ = true;
};

// Beeps on the window's thread; wave files play as a beep too (the desktop
// may have no sound system at all).
class WorkflowRunner::Sound final : public platform::Sound {
public:
  void beep(std::uint32_t) override {
    QMetaObject::invokeMethod(qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
  }
  void playWave(const std::string&) override { beep(0); }
};

WorkflowRunner::WorkflowRunner(core::Messages& messages, QObject* parent)
    : QObject(parent),
      messages_(messages),
      progress_(std::make_unique<Progress>(*this)),
      sound_(std::make_unique<Sound>()) {
  front_ = std::make_unique<mailflow::FrontEnd>(
      mailflow::FrontEnd{*progress_, *sound_, platform::SystemClock::instance(), stop_});
  pump_.setInterval(30);
  connect(&pump_, &QTimer::timeout, this, [this] { messages_.pump(); });
}

WorkflowRunner::~WorkflowRunner() {
  if (worker_.joinable()) {
    stop_.request();
    stop_.request();
    // Questions the worker is waiting on are answered while it winds down.
    while (busy_) {
      messages_.pump();
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
  }
  if (worker_.joinable()) worker_.join();
}

bool WorkflowRunner::start(Work work, std::function<void()> done) {
  if (busy_) return false;
  if (worker_.joinable()) worker_.join();
  busy_ = true;
  done_ = std::move(done);
  stop_.clear();
  progress_->reset();
  pump_.start();
  emit busyChanged(true);
  worker_ = std::thread([this, work = std::move(work)] {
    work(*front_);
    QMetaObject::invokeMethod(this, [this] { finished(); }, Qt::QueuedConnection);
  });
  return true;
}

void WorkflowRunner::finished() {
  if (worker_.joinable()) worker_.join();
  pump_.stop();
  messages_.pump();
  busy_ = false;
  auto done = std::move(done_);
  done_ = {};
  emit busyChanged(false);
  if (done) done();
}

void WorkflowRunner::requestStop() { stop_.request(); }

void WorkflowRunner::wait() {
  while (busy_) {
    messages_.pump();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
}

}  // namespace zorvik::ui
