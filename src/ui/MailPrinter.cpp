#include "ui/MailPrinter.h"

#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

#include "ui/MailTextPainter.h"
#include "ui/QtText.h"
#include "view/MailTextLayout.h"
#include "view/PrintPages.h"

namespace zorvik::ui {
namespace {

const QColor kRuleGrey(128, 128, 128);

}  // namespace

MailPrinter::MailPrinter(const core::ItemValues& settings) : settings_(settings), printer_(QPrinter::HighResolution) {
  printer_.setPageSize(QPageSize(QPageSize::A4));
}

void MailPrinter::render(QPrinter& printer, const view::MailTextContent& content) const {
  const QFont font = MailTextPainter::fontOf(settings_);
  const view::MailTextLayout layout(content, view::TextMetrics::of(settings_, QFontMetrics(font).height()));
  const MailTextPainter mail(content, layout, TextColours::of(settings_), font);
  const view::PrintPages pages(settings_);
  const int count = pages.pageCount(layout.height());
  const int first = printer.fromPage() > 0 ? std::min(printer.fromPage(), count) : 1;
  const int last = printer.toPage() > 0 ? std::min(printer.toPage(), count) : count;

  printer.setFullPage(true);
  QPainter painter(&printer);
  if (!painter.isActive()) return;
  const QRect sheet = printer.pageLayout().fullRectPixels(printer.resolution());
  const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
  const view::DeviceRect area =
      view::PrintPages::printableArea(sheet.width(), sheet.height(), printable.left(), printable.top());
  const view::DeviceRect onSheet = pages.pageOnSheet(area);
  painter.setViewport(onSheet.left, onSheet.top, onSheet.width, onSheet.height);
  painter.setWindow(0, 0, pages.pageWidth(), pages.pageHeight());

  const QString header = fromSjis(pages.headerText(content.subject()));
  for (int page = first; page <= last; ++page) {
    if (page > first) printer.newPage();
    painter.save();
    painter.translate(pages.leftMargin(), 0);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(0, pages.headerBaseline(), header);
    const view::Band top = pages.headerRule();
    painter.fillRect(QRect(0, top.top, pages.textWidth(), top.bottom - top.top), kRuleGrey);

    painter.save();
    painter.setClipRect(QRect(0, pages.topMargin(), pages.textWidth(), pages.usableHeight()));
    const int from = pages.contentTop(page);
    painter.translate(0, pages.topMargin() - from);
    mail.paint(painter, from, from + pages.usableHeight(), pages.textWidth());
    painter.restore();

    const view::Band bottom = pages.footerRule();
    painter.fillRect(QRect(0, bottom.top, pages.textWidth(), bottom.bottom - bottom.top), kRuleGrey);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QString footer = QString::fromStdString(view::PrintPages::footerText(page, count));
    painter.drawText(pages.textWidth() - QFontMetrics(font).horizontalAdvance(footer), pages.footerBaseline(), footer);
    painter.restore();
  }
}

void MailPrinter::print(QWidget* parent, const view::MailTextContent& content) {
  QPrintDialog dialog(&printer_, parent);
  if (dialog.exec() == QDialog::Accepted) render(printer_, content);
}

std::unique_ptr<QPrintPreviewDialog> MailPrinter::preview(QWidget* parent, const view::MailTextContent& content) {
  auto dialog = std::make_unique<QPrintPreviewDialog>(&printer_, parent);
  dialog->setWindowTitle(QString::fromUtf8("印刷プレビュー"));
  QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
                   [this, &content](QPrinter* printer) { render(*printer, content); });
  return dialog;
}

void MailPrinter::pageSetUp(QWidget* parent) {
  QPageSetupDialog dialog(&printer_, parent);
  dialog.exec();
}

bool MailPrinter::writePdf(const view::MailTextContent& content, const QString& path) const {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setPageLayout(printer_.pageLayout());
  render(printer, content);
  return QFileInfo(path).size() > 0;
}

}  // namespace zorvik::ui
