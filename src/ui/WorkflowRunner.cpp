#include "ui/WorkflowRunner.h"

#include <QCoreApplication>

#include "platform/Clock.h"
#include "ui/TextEdge.h"
#include "view/ProgressText.h"

namespace zorvik::ui {
namespace {

constexpr int kPollMilliseconds = 50;

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

WorkflowRunner::WorkflowRunner(core::Messages& messages, platform::Sound* sound, QObject* parent)
    : QObject(parent),
      messages_(messages),
      front_{progress_, sound ? *sound : silence_, platform::SystemClock::instance(), stop_} {
  timer_.setInterval(kPollMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &WorkflowRunner::poll);
}

WorkflowRunner::~WorkflowRunner() {
  if (!running_) return;
  stop_.request();
  stop_.request();
  if (!thread_.joinable()) return;  // never launched
  while (!done_) {
    messages_.pump();
    QCoreApplication::processEvents(QEventLoop::AllEvents, kPollMilliseconds);
  }
  thread_.join();
}

bool WorkflowRunner::start(Work work) {
  if (running_) return false;
  running_ = true;
  work_ = std::move(work);
  stop_.clear();
  QTimer::singleShot(0, this, &WorkflowRunner::launch);
  return true;
}

void WorkflowRunner::launch() {
  done_ = false;
  thread_ = std::thread([this] {
    work_(front_);
    done_ = true;
  });
  timer_.start();
}

void WorkflowRunner::forwardProgress() {
  std::string line;
  if (!progress_.take(line)) return;
  const int percent = view::ProgressText::percentOf(line).value_or(-1);
  emit progressed(TextEdge::unicode(line), percent);
}

void WorkflowRunner::poll() {
  messages_.pump();
  forwardProgress();
  if (!done_) return;
  timer_.stop();
  thread_.join();
  work_ = nullptr;
  running_ = false;
  emit finished();
}

}  // namespace zorvik::ui
