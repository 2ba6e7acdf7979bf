#include "ui/SearchBar.h"

#include <QAction>
#include <QLineEdit>

#include "ui/QtText.h"

namespace zorvik::ui {
namespace {

QString utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

SearchBar::SearchBar(view::SearchSwitches switches, QWidget* parent)
    : QToolBar(utf8("検索バー"), parent), state_(switches, false) {
  setObjectName("SearchBar");
  text_ = new QLineEdit(this);
  text_->setObjectName("SearchText");
  text_->setMinimumWidth(160);
  text_->setStatusTip(utf8("ﾄﾚｲのﾒｰﾙの中から検索する文字列を指定"));
  text_->setToolTip(utf8("検索文字列"));
  addWidget(text_);
  connect(text_, &QLineEdit::returnPressed, this, &SearchBar::findRequested);

  addSwitch("引出指定", "ﾌｫｰｶｽ位置の引出から下を検索", &view::SearchSwitches::cabinet);
  addSwitch("ﾍｯﾀﾞｰ", "ﾒｰﾙのﾍｯﾀﾞｰの中をすべて検索", &view::SearchSwitches::headers);
  addSwitch("本文", "ﾒｰﾙの本文の中をすべて検索", &view::SearchSwitches::body);
  addSwitch("先頭一致", "先頭から一致のみを検索", &view::SearchSwitches::lineStart);
  addSwitch("Aa", "英字の大文字と小文字を区別", &view::SearchSwitches::matchCase);
  addSwitch("全半ｶﾅ", "全角と半角、ひらがなとカタカナを同一視", &view::SearchSwitches::loose);
  addSeparator();
  addAction(utf8("検索(&F)"), this, &SearchBar::findRequested)->setObjectName("SearchFind");
  addAction(utf8("次を検索(&I)"), this, &SearchBar::findNextRequested)->setObjectName("SearchNext");
  addAction(utf8("まとめて検索(&S)"), this, &SearchBar::collectRequested)->setObjectName("SearchCollect");
  addAction(utf8("絞り込み検索..."), this, &SearchBar::refinedRequested)->setObjectName("SearchRefined");
  addAction(utf8("未読ﾒｰﾙへ移動(&G)"), this, &SearchBar::nextUnreadRequested)->setObjectName("SearchUnread");
  stop_ = addAction(utf8("検索停止"), this, &SearchBar::stopRequested);
  stop_->setObjectName("SearchStop");
  stop_->setEnabled(false);
}

QAction* SearchBar::addSwitch(const char* text, const char* prompt, bool view::SearchSwitches::*member) {
  QAction* action = addAction(utf8(text));
  action->setCheckable(true);
  action->setChecked(state_.switches().*member);
  action->setStatusTip(utf8(prompt));
  action->setToolTip(utf8(prompt));
  connect(action, &QAction::toggled, this, [this, member](bool on) { state_.switches().*member = on; });
  return action;
}

const view::SearchBarState& SearchBar::readState() {
  state_.setText(toSjis(text_->text()));
  return state_;
}

void SearchBar::syncVisibility() {
  const bool wasHidden = isHidden();
  setVisible(state_.visible());
  if (state_.visible() && wasHidden) {
    text_->setText(fromSjis(state_.text()));
    text_->setFocus();
  }
}

void SearchBar::setRunning(bool running) {
  for (QAction* action : actions()) {
    if (action != stop_) action->setEnabled(!running);
  }
  text_->setEnabled(!running);
  stop_->setEnabled(running);
}

}  // namespace zorvik::ui
