#include "ui/WorkflowRunner.h"

#include <QCoreApplication>

#include "platform/Clock.h"
#include "ui/QtSound.h"
#include "ui/QtText.h"
#include "view/ProgressText.h"

namespace zorvik::ui {
namespace {

constexpr int kPollMilliseconds = 30;

}  // namespace

void WorkflowRunner::LatestLine::step(const std::string& text) {
  const std::lock_guard lock(mutex_);
  line_ = text;
  fresh_ = true;
}

bool WorkflowRunner::LatestLine::take(std::string& line) {
  const std::lock_guard lock(mutex_);
  if (!fresh_) return false;
  line = line_;
  fresh_ = false;
  return true;
}

WorkflowRunner::WorkflowRunner(core::Messages& messages, QObject* parent)
    : QObject(parent), messages_(messages), bell_(std::make_unique<QtSound>()), sound_(bell_.get()) {
  timer_.setInterval(kPollMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &WorkflowRunner::poll);
}

WorkflowRunner::~WorkflowRunner() {
  if (!busy_) return;
  stop_.request();
  stop_.request();
  if (thread_.joinable()) {
    // Questions the worker waits on are answered while it winds down.
    while (!ended_) {
      messages_.pump();
      QCoreApplication::processEvents(QEventLoop::AllEvents, kPollMilliseconds);
    }
    thread_.join();
  }
}

void WorkflowRunner::setSound(platform::Sound* sound) { sound_ = sound ? sound : bell_.get(); }

bool WorkflowRunner::start(Work work, std::function<void()> done) {
  if (busy_) return false;
  busy_ = true;
  work_ = std::move(work);
  done_ = std::move(done);
  stop_.clear();
  emit busyChanged(true);
  QTimer::singleShot(0, this, &WorkflowRunner::launch);
  return true;
}

void WorkflowRunner::launch() {
  ended_ = false;
  front_.emplace(mailflow::FrontEnd{progress_, *sound_, platform::SystemClock::instance(), stop_});
  thread_ = std::thread([this] {
    work_(*front_);
    ended_ = true;
  });
  timer_.start();
}

void WorkflowRunner::forwardProgress() {
  std::string line;
  if (!progress_.take(line)) return;
  const int percent = view::ProgressText::percentOf(line).value_or(-1);
  emit progress(fromSjis(line), percent);
}

void WorkflowRunner::poll() {
  messages_.pump();
  forwardProgress();
  if (!ended_) return;
  timer_.stop();
  thread_.join();
  work_ = nullptr;
  front_.reset();
  messages_.pump();
  busy_ = false;
  auto done = std::move(done_);
  done_ = nullptr;
  emit busyChanged(false);
  if (done) done();
}

void WorkflowRunner::wait() {
  while (busy_) {
    messages_.pump();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, kPollMilliseconds);
  }
}

}  // namespace zorvik::ui
