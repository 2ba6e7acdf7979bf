#include "view/MacroTable.h"

#include "platform/TextEncoding.h"

namespace zorvik::view {

template <std::size_t N>
MacroTable MacroTable::of(const Entry (&entries)[N]) {
  MacroTable table;
  table.macros_.reserve(N);
  for (const Entry& entry : entries) table.macros_.push_back({entry.name, platform::sjisLiteral(entry.description), {}, {}});
  return table;
}

MacroTable MacroTable::mailList() {
  static constexpr Entry kEntries[] = {
      {"UP", "カーソルを１つ上へ移動"}, {"DOWN", "カーソルを１つ下へ移動"}, {"SELUP", "複数選択 上"},
      {"SELDOWN", "複数選択 下"}, {"LEFT", "左へスクロール"}, {"RIGHT", "右へスクロール"},
      {"PAGEUP", "１ページ前へ移動"}, {"PAGEDOWN", "１ページ後へ移動"}, {"TOP", "先頭へ移動"},
      {"BOTTOM", "末尾へ移動"}, {"DELETE", "選択項目を削除"}, {"VIEW", "選択項目を開く"},
      {"TREEVIEW", "TreeViewにフォーカス移動"}, {"TEXTVIEW", "TextViewにフォーカス移動"},
      {"NEXTMAIL", "次の未読メールに移動"}, {"FORWARD", "転送"}, {"RETURN", "返信"},
      {"NEWMAIL", "新規メール作成"}, {"PROPERTY", "プロパティ"}, {"TOLINK", "リンク先に移動"},
      {"RECEIVE", "受信"}, {"COPYALL", "全てコピー"}, {"RETONLY", "差出人のみに返信"},
      {"GOTRAY", "トレイに移動"}, {"DECODE", "デコード"}, {"READ", "既読に変更"},
      {"NOREAD", "未読に変更"}, {"MAKECAB", "引出を作成"}, {"MAKETRAY", "トレイを作成"},
      {"SELALL", "全選択"}, {"CUT", "カット"}, {"COPY", "コピー"}, {"PASTE", "ペースト"}};
  return of(kEntries);
}

MacroTable MacroTable::textView() {
  static constexpr Entry kEntries[] = {
      {"UP", "カーソルを１つ上へ移動"}, {"DOWN", "カーソルを１つ下へ移動"}, {"LEFT", "左"}, {"RIGHT", "右"},
      {"PAGEUP", "１ページ前へ移動"}, {"PAGEDOWN", "１ページ後へ移動"}, {"TOP", "先頭へ移動"},
      {"BOTTOM", "末尾へ移動"}, {"DELETE", "メールを削除"}, {"LISTVIEW", "ListViewにフォーカス移動"},
      {"TREEVIEW", "TreeViewにフォーカス移動"}, {"NEXTMAIL", "次の未読メールに移動"}, {"SELALL", "全選択"},
      {"COPY", "コピー"}};
  return of(kEntries);
}

MacroTable MacroTable::trayTree() {
  static constexpr Entry kEntries[] = {
      {"UP", "カーソルを１つ上へ移動"}, {"DOWN", "カーソルを１つ下へ移動"}, {"LEFT", "カーソルを子項目へ移動"},
      {"RIGHT", "カーソルを親項目へ移動"}, {"PAGEUP", "１ページ前へ移動"}, {"PAGEDOWN", "１ページ後へ移動"},
      {"TOP", "先頭へ移動"}, {"BOTTOM", "末尾へ移動"}, {"DELETE", "削除"},
      {"TEXTVIEW", "TextViewにフォーカス移動"}, {"LISTVIEW", "ListViewにフォーカス移動"}, {"PROPERTY", "プロパティ"},
      {"FIND", "メール検索"}, {"RENAME", "名前変更"}, {"DELINK", "リンクメールのみ消去"},
      {"NEWMAIL", "新規メール作成"}, {"TONOREAD", "未読メールを検索"}, {"MAKECAB", "引出を作成"},
      {"MAKETRAY", "トレイを作成"}, {"CUT", "カット"}, {"COPY", "コピー"}, {"PASTE", "ペースト"}};
  return of(kEntries);
}

MacroTable MacroTable::editor() {
  static constexpr Entry kEntries[] = {
      {"CUP", "Caretを１行上に移動"}, {"CDN", "Caretを１行下へ移動"}, {"CLT", "Caretを１文字左へ移動"},
      {"CRT", "Caretを１文字右に移動"}, {"WLT", "Caretを１語左に移動"}, {"WRT", "Caretを１語右に移動"},
      {"TOL", "Caretを行頭へ移動"}, {"EOL", "Caretを行末へ移動"}, {"GUP", "Caretを１画面上へ移動"},
      {"GDN", "Caretを１画面下へ移動"}, {"TOF", "Caretをファイルの先頭に移動"}, {"EOF", "Caretをファイルの最後に移動"},
      {"PVED", "Caretを前の編集位置へ移動"}, {"VSBR", "Caretを対応する括弧に移動"},
      {"STG1", "Caret位置をTAG1とする"}, {"STG2", "Caret位置をTAG2とする"}, {"STG3", "Caret位置をTAG3とする"},
      {"STG4", "Caret位置をTAG4とする"}, {"STG5", "Caret位置をTAG5とする"}, {"JTG1", "CaretをTAG1に移動"},
      {"JTG2", "CaretをTAG2に移動"}, {"JTG3", "CaretをTAG3に移動"}, {"JTG4", "CaretをTAG4に移動"},
      {"JTG5", "CaretをTAG5に移動"}, {"XTGS", "Caretを選択開始位置と入れ替える"},
      {"YWSB", "Caret上の語を検索バッファに格納"}, {"YBSB", "バッファを検索文字列に設定"},
      {"FDDN", "Caret位置より後方に検索"}, {"FDUP", "Caret位置より前方に検索"},
      {"REPN", "Caret位置より後方に検索して置換"}, {"REPP", "Caret位置より前方に検索して置換"},
      {"YBRP", "バッファの内容を置換文字列に設定"}, {"CHUL", "Caret上の１文字を大・小文字変換"},
      {"NEWL", "Caret位置に改行を挿入"}, {"DUPL", "Caret行を下行に複写"}, {"UNER", "Caret位置へ消去バッファから挿入"},
      {"BFMB", "Caret位置から選択開始"}, {"BFCP", "テキストをクリップに複写(Copy)"},
      {"BFCT", "テキストを消去してクリップへ複写(Cut)"}, {"BFPS", "クリップをテキストのCaret位置へPaste"},
      {"BFPC", "クリップをCaret位置へPaste Clear"}, {"ITAB", "Caret位置へTABコード挿入"},
      {"PSSB", "Caret位置に検索バッファを挿入"}, {"UNDO", "前の操作を取消す"}, {"DEL1", "Caret上の１文字消去"},
      {"BSP1", "Caretの左１文字消去"}, {"WDEL", "Caret位置の語を削除"}, {"DTOL", "Caretの左から行頭まで削除"},
      {"DEOL", "Caret位置から行末まで削除"}, {"DELe", "Caret位置から行末まで削除(emacs)"}, {"DELL", "Caret行を削除"},
      {"TGIN", "挿入・上書モードトグル切替"}, {"TGUL", "検索時大小文字区別のトグル切替"},
      {"TGWD", "検索時語区別のトグル切替"}, {"TGTB", "TAB 4/8桁のトグル切替"},
      {"TGAI", "Auto Indent ON/OFF のトグル切替"}, {"SCRU", "ファイルの前方向に画面をスクロール"},
      {"SCRD", "ファイルの後方向に画面をスクロール"}, {"CAN", "操作の取り消し"}, {"DBG", "デバッグ用"},
      {"NOP", "未定義機能"}};
  return of(kEntries);
}

std::optional<std::size_t> MacroTable::find(std::string_view name) const {
  for (std::size_t i = 0; i < macros_.size(); ++i)
    if (macros_[i].name == name) return i;
  return std::nullopt;
}

void MacroTable::bind(std::size_t at, KeyStroke first, KeyStroke second) {
  macros_.at(at).first = first;
  macros_.at(at).second = second;
}

void MacroTable::clearBindings() {
  for (Macro& macro : macros_) macro.first = macro.second = {};
}

}  // namespace zorvik::view
