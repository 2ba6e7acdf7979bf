#include "ui/QtSound.h"

#include <QApplication>
#include <QMetaObject>

namespace zorvik::ui {

void QtSound::beep(std::uint32_t) {
  if (QCoreApplication* application = QCoreApplication::instance())
    QMetaObject::invokeMethod(application, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

void QtSound::playWave(const std::string&) { beep(0); }

}  // namespace zorvik::ui
