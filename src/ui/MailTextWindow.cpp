#include "ui/MailTextWindow.h"

#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QToolBar>

#include "ui/MailPrinter.h"
#include "ui/MailTextView.h"
#include "ui/QtText.h"

namespace zorvik::ui {
namespace {

QString utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

MailTextWindow::MailTextWindow(const core::SettingsFile& settings, core::Messages& messages, MailPrinter& printer,
                               QWidget* parent)
    : QMainWindow(parent), view_(new MailTextView(settings, messages, this)), printer_(printer) {
  setObjectName("TxvwFrameC");
  setAttribute(Qt::WA_DeleteOnClose, false);
  setCentralWidget(view_);

  QMenu* file = menuBar()->addMenu(utf8("ファイル(&F)"));
  file->addAction(utf8("保存(&S)..."), QKeySequence::Save, this, &MailTextWindow::saveRequested);
  file->addSeparator();
  file->addAction(utf8("印刷(&P)..."), QKeySequence::Print, this,
                  [this] { printer_.print(this, view_->content()); });
  file->addAction(utf8("印刷プレビュー(&V)"), this, &MailTextWindow::printPreview);
  file->addSeparator();
  file->addAction(utf8("閉じる(&C)"), QKeySequence::Close, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(utf8("編集(&E)"));
  edit->addAction(utf8("コピー(&C)"), QKeySequence::Copy, view_, &MailTextView::copy);
  edit->addAction(utf8("すべてコピー(&A)"), view_, &MailTextView::copyAll);

  QToolBar* bar = addToolBar(utf8("メール"));
  bar->setObjectName("MailTextWindowBar");
  const auto both = [&](const char* text, void (MailTextWindow::*signal)()) {
    QAction* action = menuBar()->addAction(utf8(text), this, signal);
    bar->addAction(action);
  };
  both("▲(&P)", &MailTextWindow::previousRequested);
  both("▼(&N)", &MailTextWindow::nextRequested);
  both("返事(&R)", &MailTextWindow::replyRequested);
  both("転送(&T)", &MailTextWindow::forwardRequested);
  resize(640, 480);
}

void MailTextWindow::updateTitle() {
  const std::string subject = view_->content().subject();
  setWindowTitle(subject.empty() ? QString("Zorvik") : fromSjis(subject) + " - Zorvik");
}

void MailTextWindow::printPreview() {
  auto preview = printer_.preview(this, view_->content());
  preview->exec();
}

}  // namespace zorvik::ui
