// The tree and list models under QAbstractItemModelTester on a demo store,
// and renaming through them with the store's refusals.
#include <QAbstractItemModelTester>

#include "core/MessageNumber.h"
#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "support/MessageNumberPrinter.h"
#include "UiFixture.h"
#include "ui/MailListModel.h"
#include "ui/TrayTreeModel.h"

namespace zorvik::ui {
namespace {

using core::MessageNumber;

class ModelsTest : public UiFixture {
protected:
  void SetUp() override { makeStore(); }
  int boxes(MessageNumber number) const {
    const auto numbers = reporter.numbers();
    return static_cast<int>(std::count(numbers.begin(), numbers.end(), number));
  }
};

void fetchAll(QAbstractItemModel& model, const QModelIndex& parent = {}) {
  if (model.canFetchMore(parent)) model.fetchMore(parent);
  for (int row = 0; row < model.rowCount(parent); ++row) fetchAll(model, model.index(row, 0, parent));
}

TEST_F(ModelsTest, TrayTreeModelReadsLazilyAndRenames) {
  TrayTreeModel model(*document, *messages);
  ASSERT_EQ(model.rowCount(), 1);
  const QModelIndex top = model.index(0, 0);
  EXPECT_TRUE(model.hasChildren(top));
  EXPECT_EQ(model.rowCount(top), 0);  // not read until expanded
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  fetchAll(model);
  // System trays first, then cabinets, then ordinary trays.
  QStringList names;
  for (int row = 0; row < model.rowCount(top); ++row) names << model.index(row, 0, top).data().toString();
  EXPECT_EQ(names, QStringList({"メールサーバ", "新着受信", "未送信", "送信済み", "送信原稿", "検索結果", "ごみ箱", "仕事",
                                "趣味", "友人"}));

  const QModelIndex meeting = model.indexOf(sjis("仕事/会議"));
  ASSERT_TRUE(meeting.isValid());
  EXPECT_FALSE(model.flags(model.indexOf(sjis("新着受信"))).testFlag(Qt::ItemIsEditable));
  EXPECT_TRUE(model.flags(meeting).testFlag(Qt::ItemIsEditable));

  // Refusals leave the name as it was.
  EXPECT_FALSE(model.setData(meeting, "a,b"));
  EXPECT_EQ(boxes(MessageNumber::ForbiddenNameCharacter), 1);
  EXPECT_FALSE(model.setData(meeting, ""));
  EXPECT_EQ(boxes(MessageNumber::TreeNameEmpty), 1);
  EXPECT_EQ(meeting.data().toString(), "会議");

  // A wave dash typed by a Linux input method is stored as the CP932 tilde.
  ASSERT_TRUE(model.setData(meeting, QString::fromUtf8("会議〜定例")));
  EXPECT_EQ(meeting.data().toString(), QString::fromUtf8("会議～定例"));
  EXPECT_EQ(liveMails("仕事/会議～定例"), 3);
  EXPECT_EQ(liveMails("仕事/会議"), -1);
  EXPECT_EQ(model.indexOf(sjis("仕事/会議～定例")), meeting);

  // The link in 友人 still finds its mail after a rename of its tray's cabinet.
  ASSERT_TRUE(model.setData(model.indexOf(sjis("仕事")), QString::fromUtf8("業務")));
  EXPECT_EQ(model.indexOf(sjis("業務/会議～定例")).data().toString(), QString::fromUtf8("会議～定例"));
  store::TrayRecord row;
  EXPECT_EQ(store::TrayFile(document->store(), sjis("友人")).read(0, row), store::ReadResult::Live);

  // The store changed behind the model: reload keeps what is still there.
  const QPersistentModelIndex hobby = model.indexOf(sjis("趣味"));
  ASSERT_EQ(cli({"mkcab", "趣味/旅行"}), 0);
  model.reloadAll();
  EXPECT_TRUE(model.indexOf(sjis("趣味/旅行")).isValid());
  ASSERT_EQ(cli({"rm", "趣味/旅行"}), 0);
  model.reloadAll();
  EXPECT_FALSE(model.indexOf(sjis("趣味/旅行")).isValid());
  EXPECT_EQ(QModelIndex(hobby), model.indexOf(sjis("趣味")));
}

TEST_F(ModelsTest, MailListModelShowsSortsAndRenames) {
  MailListModel model(*document, *messages);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  ASSERT_TRUE(model.showTray(sjis("仕事/会議")));
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "件名");
  // The tray's own order: date, newest first.
  EXPECT_EQ(model.index(0, 2).data().toString(), "Re: Re: [会議] 来週の定例会議について");
  view::ListSortState threads = model.list().sortState();
  threads.setThreads(true);
  model.setSortState(threads);
  EXPECT_EQ(model.index(0, 2).data().toString(), QString::fromUtf8("◆[会議] 来週の定例会議について"));
  EXPECT_EQ(model.index(1, 2).data().toString(), QString::fromUtf8("   Re: [会議] 来週の定例会議について"));
  EXPECT_FALSE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
  EXPECT_TRUE(model.index(0, 0).data(Qt::DecorationRole).isValid());

  model.showCabinet(sjis("仕事"));
  ASSERT_EQ(model.rowCount(), 2);
  const QModelIndex report = model.index(1, 0);
  EXPECT_EQ(report.data().toString(), "週報");
  EXPECT_TRUE(model.flags(report).testFlag(Qt::ItemIsEditable));
  EXPECT_FALSE(model.setData(report, ""));
  EXPECT_EQ(boxes(MessageNumber::ListNameEmpty), 1);
  EXPECT_TRUE(model.setData(report, QString::fromUtf8("日報")));
  EXPECT_EQ(liveMails("仕事/日報"), 1);
  EXPECT_EQ(model.rowCount(), 2);
}

}  // namespace
}  // namespace zorvik::ui
