#include "ui/TextWindow.h"

#include <QVBoxLayout>

#include "ui/MailTextPane.h"

namespace zorvik::ui {

TextWindow::TextWindow(QWidget* parent) : QWidget(parent, Qt::Window), pane_(new MailTextPane(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pane_);
  setObjectName("TxvwFrameC");
}

}  // namespace zorvik::ui
