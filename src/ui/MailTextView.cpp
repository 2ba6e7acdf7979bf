#include "ui/MailTextView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "core/SjisText.h"
#include "platform/FileSystem.h"
#include "ui/QtText.h"
#include "view/AttachmentCheck.h"
#include "view/TagTarget.h"

namespace zorvik::ui {
namespace {

// The start of the character that holds byte `offset`.
std::size_t characterStart(std::string_view text, std::size_t offset) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t next = at + core::sjisCharLength(text, at);
    if (next > offset) return at;
    at = next;
  }
  return text.size();
}

}  // namespace

MailTextView::MailTextView(const core::SettingsFile& settings, core::Messages& messages, QWidget* parent)
    : QAbstractScrollArea(parent), settings_(settings), messages_(messages) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  rebuild();
}

MailTextView::~MailTextView() = default;

void MailTextView::rebuild() {
  const QFont font = MailTextPainter::fontOf(settings_);
  layout_ = std::make_unique<view::MailTextLayout>(content_,
                                                   view::TextMetrics::of(settings_, QFontMetrics(font).height()));
  painter_ = std::make_unique<MailTextPainter>(content_, *layout_, TextColours::of(settings_), font);
  painter_->setHit(hit_);
  painter_->setSelection(selection_);
  updateScrollBars();
  viewport()->update();
}

void MailTextView::applySettings() { rebuild(); }

bool MailTextView::showMail(const store::StoreLocation& store, const std::string& tray, std::uint32_t index) {
  auto content = view::MailTextContent::load(store, tray, index, settings_.timeZoneOffsetHours());
  if (!content) {
    clearMail();
    return false;
  }
  showContent(std::move(*content));
  shown_ = content_.home();
  return true;
}

void MailTextView::showContent(view::MailTextContent content) {
  content_ = std::move(content);
  shown_.reset();
  hit_.reset();
  anchor_.reset();
  selection_.reset();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  rebuild();
}

void MailTextView::showCabinet(const std::string& name) { showContent(view::MailTextContent::cabinetTitle(name)); }
void MailTextView::showTray(const std::string& name) { showContent(view::MailTextContent::trayTitle(name)); }
void MailTextView::clearMail() { showContent({}); }

void MailTextView::updateScrollBars() {
  const QSize size = viewport()->size();
  verticalScrollBar()->setRange(0, std::max(0, layout_->height() - size.height()));
  verticalScrollBar()->setPageStep(size.height());
  verticalScrollBar()->setSingleStep(layout_->rowHeight());
  horizontalScrollBar()->setRange(0, std::max(0, layout_->width() - size.width()));
  horizontalScrollBar()->setPageStep(size.width());
  horizontalScrollBar()->setSingleStep(layout_->rowHeight());
}

void MailTextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void MailTextView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const int top = verticalScrollBar()->value();
  painter.translate(-horizontalScrollBar()->value(), -top);
  painter_->paint(painter, top, top + viewport()->height(),
                  std::max(layout_->width(), viewport()->width() + horizontalScrollBar()->value()));
}

void MailTextView::showHit(std::size_t line, std::size_t offset, std::size_t length) {
  if (line >= layout_->lineCount()) return;
  hit_ = TextSpan{{line, offset}, {line, offset + length}};
  painter_->setHit(hit_);
  QScrollBar* bar = verticalScrollBar();
  const int top = layout_->lineTop(line);
  if (top < bar->value() || top + layout_->lineHeight(line) > bar->value() + viewport()->height())
    bar->setValue(top - viewport()->height() / 3);
  const int x = painter_->xOf(line, offset);
  QScrollBar* across = horizontalScrollBar();
  if (x < across->value() || x > across->value() + viewport()->width()) across->setValue(x - viewport()->width() / 3);
  viewport()->update();
}

void MailTextView::clearHit() {
  hit_.reset();
  painter_->setHit(hit_);
  viewport()->update();
}

bool MailTextView::atEnd() const {
  const QScrollBar* bar = verticalScrollBar();
  return bar->value() >= bar->maximum();
}

void MailTextView::pageDown() {
  QScrollBar* bar = verticalScrollBar();
  const int target = std::min(bar->maximum(), bar->value() + std::max(1, bar->pageStep() - layout_->rowHeight()));
  // The new top is a line's top, so no line is cut in half.
  const std::size_t line = layout_->firstLineBelow(target);
  bar->setValue(line < layout_->lineCount() ? std::min(bar->maximum(), layout_->lineTop(line)) : target);
}

std::optional<TextPosition> MailTextView::positionAt(const QPoint& point) const {
  const int y = point.y() + verticalScrollBar()->value();
  const auto line = layout_->lineAt(y);
  if (!line) return std::nullopt;
  return TextPosition{*line, painter_->offsetAt(*line, point.x() + horizontalScrollBar()->value())};
}

QPoint MailTextView::pointOf(const TextPosition& position) const {
  return {painter_->xOf(position.line, position.offset) - horizontalScrollBar()->value() + 1,
          layout_->lineTop(position.line) + layout_->lineHeight(position.line) / 2 - verticalScrollBar()->value()};
}

const view::Tag* MailTextView::tagAt(const TextPosition& position) const {
  for (const view::Tag& tag : content_.lines()[position.line].tags) {
    if (position.offset >= tag.start && position.offset < tag.end()) return &tag;
  }
  return nullptr;
}

std::string MailTextView::tagText(std::size_t line, const view::Tag& tag) const {
  return content_.lines()[line].text.substr(tag.start, tag.length);
}

void MailTextView::activateTagAt(std::size_t line, std::size_t offset) {
  if (line >= content_.lines().size()) return;
  if (const view::Tag* tag = tagAt({line, offset})) openTag(line, *tag);
}

bool MailTextView::openUrl(const QUrl& url) {
  if (opener_(url)) return true;
  messages_.error(core::MessageNumber::NoApplication);
  return false;
}

void MailTextView::openTag(std::size_t line, const view::Tag& tag) {
  const std::string text = tagText(line, tag);
  if (tag.kind == view::TagKind::MailAddress) {
    emit composeTo(fromSjis(text));
    return;
  }
  if (view::isFileTag(tag.kind)) {
    const std::string& file = content_.lines()[line].file;
    if (view::AttachmentCheck::needsQuestion(file) &&
        !messages_.question(core::MessageNumber::DangerousAttachmentTag, {platform::fileNameOf(file)}))
      return;
    if (!platform::pathExists(file)) {
      messages_.error(core::MessageNumber::TagPathNotFound, {file});
      return;
    }
    openUrl(QUrl::fromLocalFile(fromSjis(file)));
    return;
  }
  openUrl(QUrl(fromSjis(view::TagTarget::openable(tag.kind, text))));
}

void MailTextView::openFolder(std::size_t line, const view::Tag& tag) {
  if (view::isFileTag(tag.kind)) {
    openUrl(QUrl::fromLocalFile(fromSjis(platform::directoryOf(content_.lines()[line].file))));
    return;
  }
  if (const auto folder = view::TagTarget::containingFolder(tag.kind, tagText(line, tag)))
    openUrl(QUrl(fromSjis(*folder)));
}

void MailTextView::copyFile(const std::string& path) const {
  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile(fromSjis(path))});
  QApplication::clipboard()->setMimeData(data);
}

void MailTextView::mousePressEvent(QMouseEvent* event) {
  setFocus();
  if (event->button() != Qt::LeftButton) return;
  anchor_ = positionAt(event->position().toPoint());
  selection_.reset();
  painter_->setSelection(selection_);
  viewport()->update();
}

void MailTextView::mouseMoveEvent(QMouseEvent* event) {
  const auto at = positionAt(event->position().toPoint());
  const view::Tag* tag = at ? tagAt(*at) : nullptr;
  viewport()->setCursor(tag ? Qt::PointingHandCursor : Qt::IBeamCursor);
  if (!(event->buttons() & Qt::LeftButton) || !anchor_ || !at) return;
  selection_ = *at < *anchor_ ? TextSpan{*at, *anchor_} : TextSpan{*anchor_, *at};
  painter_->setSelection(selection_);
  viewport()->update();
}

void MailTextView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (const auto at = positionAt(event->position().toPoint())) activateTagAt(at->line, at->offset);
}

void MailTextView::contextMenuEvent(QContextMenuEvent* event) {
  const auto at = positionAt(event->pos());
  const view::Tag* tag = at ? tagAt(*at) : nullptr;
  QMenu menu(this);
  if (!tag && plainMenu_) {
    plainMenu_(event->globalPos());
    return;
  }
  if (!tag) {
    menu.addAction(QString::fromUtf8("検索(&F)"), this, &MailTextView::findRequested);
    menu.addAction(QString::fromUtf8("次を検索(&I)"), this, &MailTextView::findNextRequested);
    menu.addSeparator();
    menu.addAction(QString::fromUtf8("コピー(&C)"), this, &MailTextView::copy)->setEnabled(selection_.has_value());
    menu.addAction(QString::fromUtf8("すべてコピー(&A)"), this, &MailTextView::copyAll);
    menu.exec(event->globalPos());
    return;
  }
  const std::string_view name = view::TagTarget::menuName(tag->kind);
  if (name.empty()) return;
  const std::size_t line = at->line;
  const view::Tag chosen = *tag;
  menu.setObjectName(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  menu.addAction(QString::fromUtf8("アプリから開く"), this, [this, line, chosen] { openTag(line, chosen); });
  if (chosen.kind == view::TagKind::MimeLine) {
    const std::string file = content_.lines()[line].file;
    menu.addAction(QString::fromUtf8("コピー(&C)"), this, [this, file] { copyFile(file); });
  }
  if (chosen.kind == view::TagKind::Ftp || chosen.kind == view::TagKind::NetworkPath)
    menu.addAction(QString::fromUtf8("属すフォルダを開く"), this, [this, line, chosen] { openFolder(line, chosen); });
  if (chosen.kind == view::TagKind::Ftp)
    menu.addAction(QString::fromUtf8("FTPサイトに接続"), this,
                   [this] { QMessageBox::information(this, "Zorvik", QString::fromUtf8("未実装")); });
  menu.exec(event->globalPos());
}

void MailTextView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    copy();
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

QString MailTextView::selectedText() const {
  if (!selection_) return {};
  std::string text;
  for (std::size_t line = selection_->from.line; line <= selection_->to.line && line < content_.lines().size(); ++line) {
    const std::string& whole = content_.lines()[line].text;
    const std::size_t from = line == selection_->from.line ? characterStart(whole, selection_->from.offset) : 0;
    const std::size_t to = line == selection_->to.line ? std::min(selection_->to.offset, whole.size()) : whole.size();
    if (line != selection_->from.line) text += "\r\n";
    if (to > from) text += whole.substr(from, to - from);
  }
  return fromSjis(text);
}

void MailTextView::copy() const {
  if (selection_) QApplication::clipboard()->setText(selectedText());
}

void MailTextView::copyAll() const { QApplication::clipboard()->setText(fromSjis(content_.bodyText())); }

void MailTextView::selectAll() {
  if (content_.lines().empty()) return;
  selection_ = TextSpan{{0, 0}, {content_.lines().size() - 1, content_.lines().back().text.size()}};
  painter_->setSelection(selection_);
  viewport()->update();
}

}  // namespace zorvik::ui
