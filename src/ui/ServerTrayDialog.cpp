#include "ui/ServerTrayDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "mailflow/Document.h"
#include "ui/ProgressPanel.h"

namespace zorvik::ui {
namespace {

struct WorkTexts {
  QString title;
  QString question;
  QString done;
};

WorkTexts textsOf(ServerTrayWork work) {
  switch (work) {
    case ServerTrayWork::HeaderReceive:
      return {QStringLiteral("ｻｰﾊﾞﾍｯﾀﾞｰﾞ受信"), QStringLiteral("サーバヘッダーを受信しますか？"),
              QStringLiteral("受信完了")};
    case ServerTrayWork::ReceiveSelected:
      return {QStringLiteral("選択ﾒｰﾙ受信"), QStringLiteral("メールサーバから受信しますか？"),
              QStringLiteral("受信完了")};
    case ServerTrayWork::DeleteSelected:
      return {QStringLiteral("ｻｰﾊﾞﾒｰﾙ削除"), QStringLiteral("メールサーバから削除しますか？"),
              QStringLiteral("削除完了")};
    case ServerTrayWork::Counters:
      return {QStringLiteral("メールサーバ情報"), QStringLiteral("メールサーバにあるメールの件数を調べますか？"),
              QString()};
    case ServerTrayWork::Send: break;
  }
  return {QStringLiteral("ﾒｰﾙ送信"), QStringLiteral("未送信トレイ内のメールを送信しますか？"),
          QStringLiteral("送信完了")};
}

}  // namespace

ServerTrayDialog::ServerTrayDialog(mailflow::Document& document, ServerTrayWork work,
                                   std::vector<std::uint32_t> selection, QWidget* parent)
    : WorkDialog(document.messages(), parent), document_(document), work_(work), selection_(std::move(selection)) {
  const WorkTexts texts = textsOf(work);
  setWindowTitle(texts.title);
  progress()->setStatus(texts.question);
  progress()->setMinimumWidth(fontMetrics().averageCharWidth() * 56);

  auto* const layout = new QVBoxLayout(this);
  layout->addWidget(progress());
  if (work == ServerTrayWork::Counters) {
    cleanUp_ = new QCheckBox(QStringLiteral("受信済みのメールをサーバから削除する(&D)"), this);
    layout->addWidget(cleanUp_);
  }
  auto* const buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok_->setDefault(true);
  setStopButton(buttons->addButton(QString(), QDialogButtonBox::RejectRole), QStringLiteral("ｷｬﾝｾﾙ"));
  connect(ok_, &QPushButton::clicked, this, [this] {
    if (finished_) accept();
    else beginWork();
  });
  layout->addWidget(buttons);
}

QString ServerTrayDialog::countersText(const mailflow::ServerCounters& counters, bool cleanUp) {
  const int waiting = counters.newCount + counters.unread;
  if (cleanUp)
    return QString::asprintf("件数:%3d    既読:%3d    未読:%3d   削除:%3d", counters.serverCount,
                             counters.alreadyReceived, waiting, counters.deleted);
  return QString::asprintf("件数:%4d    既読:%4d    未読:%4d", counters.serverCount, counters.alreadyReceived,
                           waiting);
}

void ServerTrayDialog::runningChanged() {
  ok_->setEnabled(!running());
  if (cleanUp_) cleanUp_->setEnabled(!running() && !finished_);
}

void ServerTrayDialog::beginWork() {
  using Counters = std::optional<mailflow::ServerCounters>;
  using Selection = std::optional<mailflow::SelectionOutcome>;
  const mailflow::Document& document = document_;
  const QString login = QStringLiteral("メールサーバへのログイン処理中");
  const QString done = textsOf(work_).done;
  switch (work_) {
    case ServerTrayWork::HeaderReceive:
    case ServerTrayWork::Counters: {
      const bool cleanUp = cleanUp_ && cleanUp_->isChecked();
      startWork<Counters>(
          [&document, cleanUp](mailflow::FrontEnd& front) { return mailflow::ServerTrayFlow(document, front).list(cleanUp); },
          [this, cleanUp, done](Counters& counters) {
            counters_ = counters;
            finish(counters.has_value(),
                   counters && work_ == ServerTrayWork::Counters ? countersText(*counters, cleanUp) : done);
          },
          login);
      return;
    }
    case ServerTrayWork::ReceiveSelected:
    case ServerTrayWork::DeleteSelected: {
      const bool receive = work_ == ServerTrayWork::ReceiveSelected;
      startWork<Selection>(
          [&document, receive, selection = selection_](mailflow::FrontEnd& front) {
            mailflow::ServerTrayFlow flow(document, front);
            return receive ? flow.fetchSelected(selection) : flow.deleteSelected(selection);
          },
          [this, done](Selection& outcome) {
            selectionOutcome_ = outcome;
            finish(outcome && outcome->ok, done + QStringLiteral("（%1 通）").arg(outcome ? outcome->done : 0));
          },
          login);
      return;
    }
    case ServerTrayWork::Send: break;
  }
  using Report = std::optional<mailflow::SendReport>;
  startWork<Report>(
      [&document](mailflow::FrontEnd& front) {
        return mailflow::SendFlow::run(document, front, mailflow::SessionDriver::Command::Send);
      },
      [this, done](Report& report) {
        sendReport_ = report;
        finish(report && mailflow::SendFlow::succeeded(*report), done);
      },
      login);
}

void ServerTrayDialog::finish(bool ok, const QString& status) {
  finished_ = true;
  if (stopRequested()) {
    progress()->end(QStringLiteral("中止しました。"), false);
    done(QDialog::Rejected);
    return;
  }
  progress()->end(ok ? status : QStringLiteral("終了しました。"), ok);
  if (work_ == ServerTrayWork::Counters && ok) {
    stopButton()->hide();
    return;
  }
  done(ok ? QDialog::Accepted : QDialog::Rejected);
}

}  // namespace zorvik::ui
