/// \file
/// Work that must run on the thread of the application object (widgets,
/// boxes), called from whatever thread has it to do: on that thread it runs
/// at once; from another one the caller waits for it (a blocking queued
/// call), so the application's thread must not be waiting for the caller
/// meanwhile. Without an application object it runs at once.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace zorvik::ui {

template <typename Work>
auto onGuiThread(Work work) -> decltype(work()) {
  QCoreApplication* const application = QCoreApplication::instance();
  if (!application || QThread::currentThread() == application->thread()) return work();
  decltype(work()) result{};
  QMetaObject::invokeMethod(application, [&] { result = work(); }, Qt::BlockingQueuedConnection);
  return result;
}

}  // namespace zorvik::ui
