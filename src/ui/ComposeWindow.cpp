#include "ui/ComposeWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "addressbook/AddressCompleter.h"
#include "addressbook/VCardAddressBook.h"
#include "compose/DraftFile.h"
#include "compose/EditMap.h"
#include "compose/SendCharacterCheck.h"
#include "compose/TemplateFiles.h"
#include "core/SettingsItemTable.h"
#include "mailflow/AddressBookFlow.h"
#include "mailflow/Document.h"
#include "message/AddressParser.h"
#include "platform/TextEncoding.h"
#include "ui/AddressEntryWindow.h"
#include "ui/ComposeEditor.h"
#include "ui/ExternalEditor.h"
#include "ui/PreSendCheckDialog.h"
#include "ui/QtReporter.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {

namespace item = core::item;

namespace {

constexpr char kMimeLine[] = "@#MIME ";

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// The path of an "@#MIME "path"" line.
std::string attachmentPathOf(const std::string& line) {
  std::string path = line.substr(sizeof(kMimeLine) - 1);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  return path;
}

}  // namespace

ComposeWindow::ComposeWindow(mailflow::Document& document, mailflow::OpenDraft draft, ComposeOptions options,
                             QWidget* parent)
    : QMainWindow(parent),
      document_(document),
      draft_(std::move(draft)),
      options_(std::move(options)),
      form_(draft_.prepared.to, draft_.prepared.cc, draft_.prepared.bcc,
            document.settings().number(item::kComposeFormHeight)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAcceptDrops(true);
  form_.subject = draft_.prepared.subject;
  form_.keyword = draft_.prepared.keyword;
  form_.firstLineAsSubject = document.settings().flag(item::kFirstLineAsSubject);
  form_.withoutSignature = draft_.withoutSignature;
  setWindowTitle(fromSjis(view::ComposeForm::title(draft_.prepared.kind, false, draft_.tray)));

  splitter_ = new QSplitter(Qt::Vertical, this);
  auto* top = new QWidget(splitter_);
  buildForm(top);
  editor_ = new ComposeEditor(document.settings(), splitter_);
  splitter_->addWidget(top);
  splitter_->addWidget(editor_);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);
  external_ = new ExternalEditor(document.settings(), this);
  connect(external_, &ExternalEditor::textChanged, this, [this] {
    if (const auto text = compose::DraftFile::read(draft_.bodyFile)) {
      mailflow::DraftFlow::edit(draft_, *text);
      loadText(*text);
    }
    editor_->setReadOnly(external_->running());
  });
  connect(editor_, &ComposeEditor::filesDropped, this, &ComposeWindow::addAttachments);
  buildMenus();
  loadText(draft_.prepared.body);
  showForm();

  const view::WindowRect& rect = options_.placement;
  setGeometry(rect.left, rect.top, std::max(320, rect.right - rect.left), std::max(240, rect.bottom - rect.top));
  splitter_->setSizes({std::max(80, height() - options_.editorHeight), options_.editorHeight});
  UiLog::global().watch(this);
  editor_->setFocus();
  if (document.settings().flag(item::kExternalEditorAlways))
    QTimer::singleShot(0, this, [this] { startExternalEditor(); });
}

ComposeWindow::~ComposeWindow() = default;

// --- The form ------------------------------------------------------------------

void ComposeWindow::buildForm(QWidget* top) {
  auto* grid = new QGridLayout(top);
  grid->setContentsMargins(4, 4, 4, 2);
  grid->setVerticalSpacing(2);
  const auto label = [&](const char* text, QWidget* buddy) {
    auto* shown = new QLabel(u(text), top);
    shown->setBuddy(buddy);
    return shown;
  };

  subject_ = new QLineEdit(fromSjis(form_.subject), top);
  auto* sendButton = new QPushButton(u("送信"), top);
  connect(sendButton, &QPushButton::clicked, this, [this] { send(); });
  grid->addWidget(label("件名(&N)：", subject_), 0, 0);
  grid->addWidget(subject_, 0, 1);
  grid->addWidget(sendButton, 0, 2);

  keyRow_ = new QWidget(top);
  auto* keys = new QHBoxLayout(keyRow_);
  keys->setContentsMargins(0, 0, 0, 0);
  keyword_ = new QLineEdit(fromSjis(form_.keyword), keyRow_);
  keyword_->setMaximumWidth(160);
  firstLine_ = new QCheckBox(u("1行目件名(&F)"), keyRow_);
  firstLine_->setChecked(form_.firstLineAsSubject);
  noSignature_ = new QCheckBox(u("署名なし(&X)"), keyRow_);
  noSignature_->setChecked(form_.withoutSignature);
  auto* pgp = new QCheckBox(u("PGP暗号化"), keyRow_);
  pgp->setEnabled(false);
  keys->addWidget(label("キー(&K)：", keyword_));
  keys->addWidget(keyword_);
  keys->addWidget(firstLine_);
  keys->addWidget(noSignature_);
  keys->addWidget(pgp);
  keys->addStretch();
  height_ = new QPushButton(top);
  height_->setFixedWidth(32);
  connect(height_, &QPushButton::clicked, this, [this] {
    form_.toggleHeight();
    showForm();
  });
  grid->addWidget(keyRow_, 1, 0, 1, 2);
  grid->addWidget(height_, 1, 2);

  const auto addressRow = [&](int row, const char* text, const std::string& value, QLabel** shown) {
    auto* field = new QLineEdit(fromSjis(value), top);
    QLabel* name = label(text, field);
    grid->addWidget(name, row, 0);
    grid->addWidget(field, row, 1);
    if (shown) *shown = name;
    return field;
  };
  to_ = addressRow(2, "To(&T)：", form_.to, nullptr);
  auto* search = new QPushButton(u("検索"), top);
  connect(search, &QPushButton::clicked, this, &ComposeWindow::completeAddress);
  grid->addWidget(search, 2, 2);
  cc_ = addressRow(3, "Cc：", form_.cc, &ccLabel_);
  bcc_ = addressRow(4, "Bcc：", form_.bcc, &bccLabel_);

  attachmentPane_ = new QWidget(top);
  auto* pane = new QHBoxLayout(attachmentPane_);
  pane->setContentsMargins(0, 0, 0, 0);
  attachments_ = new QTreeWidget(attachmentPane_);
  attachments_->setHeaderLabels({u("添付ファイル名"), u("ｻｲｽﾞ"), u("更新日時")});
  attachments_->setRootIsDecorated(false);
  attachments_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  attachments_->setMaximumHeight(90);
  attachments_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  auto* buttons = new QVBoxLayout;
  auto* remove = new QPushButton(u("削除(&D)"), attachmentPane_);
  auto* add = new QPushButton(u("ﾌｧｲﾙ...(&F)"), attachmentPane_);
  connect(remove, &QPushButton::clicked, this, [this] {
    std::vector<std::size_t> rows;
    for (QTreeWidgetItem* selected : attachments_->selectedItems())
      rows.push_back(static_cast<std::size_t>(attachments_->indexOfTopLevelItem(selected)));
    form_.removeAttachments(rows);
    showAttachments();
  });
  connect(add, &QPushButton::clicked, this, [this] {
    addAttachments(QFileDialog::getOpenFileNames(this, u("添付ファイルの選択")));
  });
  buttons->addWidget(remove);
  buttons->addWidget(add);
  buttons->addStretch();
  pane->addWidget(attachments_);
  pane->addLayout(buttons);
  grid->addWidget(attachmentPane_, 5, 0, 1, 3);
  grid->setColumnStretch(1, 1);
}

void ComposeWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(u("ファイル(&F)"));
  file->addAction(u("送信(&S)"), this, [this] { send(); });
  file->addAction(u("保存して終了(&M)"), this, [this] { keep(); });
  file->addAction(u("保存せずに終了(&X)"), this, [this] { discard(); });
  file->addSeparator();
  file->addAction(u("外部ｴﾃﾞｨﾀ(&E)"), this, [this] { startExternalEditor(); });
  file->addAction(u("閉じる(&C)"), this, &QWidget::close);

  QMenu* view = menuBar()->addMenu(u("表示(&V)"));
  showCc_ = view->addAction(u("Cc表示(&C)"), this, [this](bool on) { setCcShown(on); });
  showBcc_ = view->addAction(u("Bcc表示(&B)"), this, [this](bool on) { setBccShown(on); });
  showCc_->setCheckable(true);
  showBcc_->setCheckable(true);
  QMenu* list = view->addMenu(u("添付ファイル(&A)"));
  auto* modes = new QActionGroup(this);
  const auto mode = [&](const char* text, view::AttachmentDisplay display) {
    QAction* action = list->addAction(u(text), this, [this, display] {
      form_.attachmentDisplay = display;
      showAttachments();
    });
    action->setCheckable(true);
    action->setData(static_cast<int>(display));
    modes->addAction(action);
  };
  mode("OFF(&X)", view::AttachmentDisplay::Off);
  mode("ｱｲｺﾝ(&L)", view::AttachmentDisplay::Icons);
  mode("詳細(&D)", view::AttachmentDisplay::Details);

  QMenu* address = menuBar()->addMenu(u("アドレス(&A)"));
  address->addAction(u("検索"), this, &ComposeWindow::completeAddress);
  address->addAction(u("WAB登録(&W)"), this, &ComposeWindow::registerAddress);
}

void ComposeWindow::showForm() {
  keyRow_->setVisible(form_.heightMode() >= 1);
  height_->setText(fromSjis(form_.heightButtonText()));
  form_.cc = toSjis(cc_->text());
  form_.bcc = toSjis(bcc_->text());
  for (auto [shown, label, field, action] : {std::tuple{form_.ccShown(), ccLabel_, cc_, showCc_},
                                             std::tuple{form_.bccShown(), bccLabel_, bcc_, showBcc_}}) {
    label->setVisible(shown);
    field->setVisible(shown);
    action->setChecked(shown);
  }
  showAttachments();
}

void ComposeWindow::setCcShown(bool shown) {
  form_.requestCc(shown);
  showForm();
}

void ComposeWindow::setBccShown(bool shown) {
  form_.requestBcc(shown);
  showForm();
}

void ComposeWindow::showAttachments() {
  attachments_->clear();
  for (const view::AttachmentEntry& entry : form_.attachments()) {
    const QString path = fromSjis(entry.path);
    auto* row = new QTreeWidgetItem({QFileInfo(path).fileName(), fromSjis(view::ComposeForm::sizeText(entry.size)),
                                     QDateTime::fromSecsSinceEpoch(entry.modified).toString("yyyy/MM/dd HH:mm")});
    row->setToolTip(0, path);
    attachments_->addTopLevelItem(row);
  }
  const bool icons = form_.attachmentDisplay == view::AttachmentDisplay::Icons;
  attachments_->setHeaderHidden(icons);
  for (int column = 1; column < 3; ++column) attachments_->setColumnHidden(column, icons);
  attachmentPane_->setVisible(form_.attachmentDisplay != view::AttachmentDisplay::Off);
}

void ComposeWindow::addAttachments(const QStringList& paths) {
  for (const QString& path : paths) {
    const QFileInfo info(path);
    if (!info.isFile()) continue;
    form_.addAttachment({toSjis(info.absoluteFilePath()), static_cast<std::uint64_t>(info.size()),
                         info.lastModified().toSecsSinceEpoch()});
  }
  showAttachments();
}

void ComposeWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void ComposeWindow::dropEvent(QDropEvent* event) {
  QStringList files;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  addAttachments(files);
  event->acceptProposedAction();
}

// --- The text --------------------------------------------------------------------

void ComposeWindow::loadText(const std::string& body) {
  const compose::EditMap map = compose::EditMap::parse(draft_.editMap);
  std::vector<std::string> lines;
  std::vector<bool> typed;
  const auto all = compose::TemplateFiles::lines(body);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::string& line = all[i];
    if (line.rfind(kMimeLine, 0) == 0) {
      addAttachments({fromSjis(attachmentPathOf(line))});
      continue;
    }
    lines.push_back(line);
    typed.push_back(map.isTyped(static_cast<int>(i)));
  }
  editor_->load(lines, typed);
}

std::string ComposeWindow::text() const { return editor_->storedText(); }

// --- Storing ------------------------------------------------------------------

void ComposeWindow::readForm() {
  form_.to = toSjis(to_->text().trimmed());
  form_.cc = toSjis(cc_->text().trimmed());
  form_.bcc = toSjis(bcc_->text().trimmed());
  form_.subject = toSjis(subject_->text().trimmed());
  form_.keyword = toSjis(keyword_->text().trimmed());
  form_.firstLineAsSubject = firstLine_->isChecked();
  form_.withoutSignature = noSignature_->isChecked();
  draft_.prepared.to = form_.to;
  draft_.prepared.cc = form_.cc;
  draft_.prepared.bcc = form_.bcc;
  draft_.prepared.subject = form_.subject;
  draft_.prepared.keyword = form_.keyword;
  draft_.withoutSignature = form_.withoutSignature;
  draft_.attachments = form_.attachmentPaths();
}

bool ComposeWindow::confirmCharacters() {
  const auto findings = compose::SendCharacterCheck::run(form_.subject, draft_.prepared.body);
  if (findings.empty()) return true;
  if (options_.confirmCharacters) {
    std::vector<std::string> shown;
    for (const auto& finding : findings) shown.push_back(toSjis(PreSendCheckDialog::describe(finding)));
    if (options_.confirmCharacters(shown)) return true;
  } else if (PreSendCheckDialog::confirm(findings, this)) {
    return true;
  }
  // Back to the text, at the first finding in it.
  for (const auto& finding : findings) {
    if (finding.line == 0) continue;
    const QTextBlock block = editor_->document()->findBlockByNumber(finding.line - 1);
    if (!block.isValid()) break;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, finding.column - 1);
    editor_->setTextCursor(cursor);
    break;
  }
  editor_->setFocus();
  return false;
}

bool ComposeWindow::store(bool forSending) {
  if (external_->running()) {
    external_->finish();
    if (const auto saved = compose::DraftFile::read(draft_.bodyFile)) loadText(*saved);
  }
  readForm();
  // A body file that cannot be written is reported by the store, in its turn.
  mailflow::DraftFlow::edit(draft_, text());
  if (forSending && !confirmCharacters()) return false;
  compose::Draft draft = draft_.toDraft();
  draft.firstLineAsSubject = form_.firstLineAsSubject;
  const compose::StoreOptions options{forSending ? compose::DraftTarget::Unsent : compose::DraftTarget::Drafts, false};
  if (!mailflow::DraftFlow::store(document_, draft, options, draft_.reopened)) return false;
  done_ = true;
  emit stored(forSending);
  close();
  return true;
}

bool ComposeWindow::send() { return store(true); }

bool ComposeWindow::keep() { return store(false); }

void ComposeWindow::discard() {
  mailflow::DraftFlow::discard(draft_);
  done_ = true;
  close();
}

bool ComposeWindow::askKeep() {
  const std::string caption = platform::sjisLiteral("Zorvik:注意");
  const std::string question =
      platform::sjisLiteral("今作成した原稿は送信予定に入っていません。\nとりあえず，送信原稿を保存しますか？");
  if (options_.ask) return options_.ask(caption, question);
  bool yes = false;
  if (const auto preset = QtReporter::presetAnswer()) {
    yes = *preset;
  } else {
    yes = QMessageBox::question(this, fromSjis(caption), fromSjis(question)) == QMessageBox::Yes;
  }
  UiLog::global().messageBox(0, fromSjis(caption), fromSjis(question), yes ? "yes" : "no");
  return yes;
}

void ComposeWindow::closeEvent(QCloseEvent* event) {
  // Qt ignores a close() made while a close is under way, so storing or
  // dropping the draft from here cannot close the window itself: accepting
  // this event does.
  if (!done_ && !settleDraft()) {
    event->ignore();
    return;
  }
  const QRect frame = geometry();
  emit placed({frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()},
              editor_->height());
  QMainWindow::closeEvent(event);
}

bool ComposeWindow::settleDraft() {
  readForm();
  if (form_.needsCloseQuestion(text()) && askKeep()) return keep();
  discard();
  return true;
}

// --- External editor ----------------------------------------------------------

void ComposeWindow::startExternalEditor() {
  if (external_->running()) {
    // Its window is the editor's own; the most we can do is not start another.
    return;
  }
  readForm();
  mailflow::DraftFlow::edit(draft_, text());
  const QTextCursor cursor = editor_->textCursor();
  const view::Caret caret{cursor.blockNumber(), cursor.positionInBlock()};
  const auto outcome = external_->start(fromSjis(draft_.bodyFile), caret);
  editor_->setReadOnly(outcome == ExternalEditor::Outcome::Started);
}

// --- Address book ---------------------------------------------------------------

addressbook::VCardAddressBook* ComposeWindow::book() {
  if (!book_) book_ = mailflow::AddressBookFlow::open(document_);
  return book_.get();
}

QLineEdit* ComposeWindow::focusedAddressField() const {
  for (QLineEdit* field : {to_, cc_, bcc_})
    if (field->hasFocus() || field == lastCompleted_) return field;
  return to_;
}

void ComposeWindow::completeAddress() {
  QLineEdit* field = focusedAddressField();
  if (!book()) {
    QApplication::beep();
    return;
  }
  if (!completer_) completer_ = std::make_unique<addressbook::AddressCompleter>(*book_);
  const auto completed = completer_->complete(toSjis(field->text()));
  if (!completed) {
    QApplication::beep();
    return;
  }
  field->setText(fromSjis(*completed));
  lastCompleted_ = field;
}

void ComposeWindow::registerAddress() {
  QLineEdit* field = focusedAddressField();
  const auto addresses = message::AddressParser(document_.settings().aliases()).parseList(toSjis(field->text()));
  if (!book() || addresses.empty()) {
    QApplication::beep();
    return;
  }
  const message::MailAddress& chosen = addresses.front();
  if (!book_->findByAddress(chosen.address)) book_->create(chosen.name, chosen.address);
  if (const auto entry = book_->findByAddress(chosen.address)) AddressEntryWindow::show(*entry, this);
}

}  // namespace zorvik::ui
