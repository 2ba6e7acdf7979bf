// The text view's tags under the mouse, printing a mail to PDF, and the
// search bar stepping through a store of nested cabinets.
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include "core/Messages.h"
#include "mailflow/FlowScene.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayAttachments.h"
#include "support/SearchStore.h"
#include "ui/DialogTest.h"
#include "ui/MailPrinter.h"
#include "ui/MailTextView.h"
#include "ui/QtReporter.h"
#include "ui/SearchBar.h"
#include "ui/SearchCommands.h"

namespace zorvik::ui {
namespace {

std::string sjis(const char* utf8) { return platform::utf8ToSjis(utf8); }

class MailTextViewTest : public test::DialogTest {
protected:
  MailTextViewTest() {
    store_.root = scratch.file("store");
    store_.topCabinet = "Top";
    platform::makeDirectories(store_.topCabinetPath());
  }

  // A mail with a link, an address, an HTML attachment with a script and a
  // harmless PDF, stored in tray "受信".
  std::uint32_t storeMail(std::vector<std::string> extraBody = {}) {
    const std::string folder = platform::joinPath(store::TrayAttachments::root(store_, sjis("受信")), "1261207.000");
    platform::makeDirectories(folder);
    platform::writeFileAtomically(platform::joinPath(folder, sjis("案内.html")), "<html><SCRIPT>x</script>");
    platform::writeFileAtomically(platform::joinPath(folder, sjis("見積.pdf")), "%PDF-1.4");
    test::TestMail mail;
    mail.subject = "打ち合わせの件";
    mail.to = "a@example.jp, b@example.jp";
    mail.extraHeader = {"Date: Mon, 7 Dec 2026 10:00:00 +0900", "X-Zorvik-AttachDir: 1261207.000"};
    mail.body = {"詳細は http://example.jp/plan を見てください。", "> 引用行", "@#MIME \"%:案内.html\"",
                 "@#MIME \"%:見積.pdf\"", "連絡先 taro@example.jp"};
    for (std::string& line : extraBody) mail.body.push_back(std::move(line));
    return test::storeMail(store_, "受信", mail);
  }

  core::SettingsFile settings_;
  QtReporter reporter_;
  core::Messages messages_{reporter_};
  store::StoreLocation store_;
};

TEST_F(MailTextViewTest, DoubleClickOpensTagsAndAsksBeforeAnAttachmentWithAScript) {
  MailTextView view(settings_, messages_);
  view.resize(900, 500);
  view.show();
  ASSERT_TRUE(view.showMail(store_, sjis("受信"), storeMail()));
  std::vector<QUrl> opened;
  view.setOpener([&](const QUrl& url) {
    opened.push_back(url);
    return url.scheme() != "ftp";
  });
  QString composed;
  QObject::connect(&view, &MailTextView::composeTo, [&](const QString& address) { composed = address; });

  const auto doubleClick = [&](std::size_t line, std::size_t offset) {
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, view.pointOf({line, offset}));
  };
  doubleClick(0, 12);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], QUrl("http://example.jp/plan"));
  doubleClick(4, 10);
  EXPECT_EQ(composed, "taro@example.jp");
  doubleClick(0, 2);
  EXPECT_EQ(opened.size(), 1u) << "plain text opens nothing";

  doubleClick(2, 10);  // the script: asked, and "no" keeps it closed
  EXPECT_EQ(opened.size(), 1u);
  ASSERT_EQ(boxLines().size(), 1u);
  EXPECT_TRUE(boxLines()[0].starts_with("box\t40711\t")) << boxLines()[0];
  EXPECT_NE(boxLines()[0].find("案内.html"), std::string::npos);

  qputenv("ZORVIK_ANSWER", "yes");
  doubleClick(2, 10);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_TRUE(opened[1].toLocalFile().endsWith(QString::fromUtf8("1261207.000/案内.html")));
  doubleClick(3, 10);  // the PDF: no question
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(boxLines().size(), 2u);

  const auto lines = boxLines().size();
  view.showContent(view::MailTextContent({}, {"ftp://ftp.example.jp/pub/a.lzh"}, {}));
  view.activateTagAt(0, 3);
  ASSERT_EQ(boxLines().size(), lines + 1);
  EXPECT_TRUE(boxLines().back().starts_with("box\t40411\t")) << "nothing could open it";
}

TEST_F(MailTextViewTest, SelectionCopiesTheDraggedCharactersAcrossLines) {
  MailTextView view(settings_, messages_);
  view.resize(900, 500);
  view.show();
  ASSERT_TRUE(view.showMail(store_, sjis("受信"), storeMail()));
  QTest::mousePress(view.viewport(), Qt::LeftButton, {}, view.pointOf({0, 0}));
  QTest::mouseMove(view.viewport(), view.pointOf({1, 6}));
  QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, view.pointOf({1, 6}));
  EXPECT_EQ(view.selectedText(), QString::fromUtf8("詳細は http://example.jp/plan を見てください。\r\n> 引用"));
}

// pdftotext's text of a PDF, UTF-8.
QString pdfText(const QString& path) {
  QProcess process;
  process.start("pdftotext", {"-layout", path, "-"});
  process.waitForFinished(60000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

TEST_F(MailTextViewTest, PrintsTwoPagesToPdfWithHeaderRowsPageNumbersAndJapaneseText) {
  std::vector<std::string> more;
  for (int i = 1; i <= 60; ++i) more.push_back("本文の行 " + std::to_string(i));
  const auto content = view::MailTextContent::load(store_, sjis("受信"), storeMail(more), 9);
  ASSERT_TRUE(content);
  MailPrinter printer(settings_);
  const QString path = QString::fromStdString(scratch.file("mail.pdf"));
  ASSERT_TRUE(printer.writePdf(*content, path));

  // pdftotext reads some kanji of the CJK font back as their Kangxi
  // radicals ("⾒" for "見"); compatibility normalisation folds them back.
  const QString text = pdfText(path).normalized(QString::NormalizationForm_KC);
  for (const char* wanted : {"Zorvik:打ち合わせの件", "件名", "To", "a@example.jp", "b@example.jp", "送信",
                             "2026/12/07 10:00:00", "詳細は", "引用行", "本文の行 1", "本文の行 60", "Page 1/2",
                             "Page 2/2"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(wanted))) << wanted << "\n" << text.toStdString();
  EXPECT_FALSE(text.contains("Page 3/")) << "two pages";
  EXPECT_EQ(text.count("Zorvik:"), 2) << "the header on each page";
}

// The window's part of a search: where the hit went.
class RecordingHost : public SearchHost {
public:
  std::string currentTray() const override { return tray; }
  std::optional<std::uint32_t> currentMail() const override { return std::nullopt; }
  view::TreeFocus treeFocus() const override { return focus; }
  void showSearchHit(const search::SearchHit& hit) override { hits.push_back(hit); }
  void showTray(const std::string& shown) override { trays.push_back(shown); }
  void showStatus(const QString&) override {}

  std::string tray;
  view::TreeFocus focus;
  std::vector<search::SearchHit> hits;
  std::vector<std::string> trays;
};

class SearchBarTest : public test::DialogTest {
protected:
  SearchBarTest() { test::buildSearchStore(scene.document->store()); }
  test::FlowScene scene;
};

TEST_F(SearchBarTest, StepsFromHitToHitAcrossNestedCabinetsAndRefusesToContinueAtStart) {
  QWidget window;
  RecordingHost host;
  SearchBar bar(view::SearchSwitches{}, &window);
  SearchCommands commands(*scene.document, host, bar, &window);

  commands.findNext();
  ASSERT_TRUE(commands.waitForEnd(60000));
  EXPECT_EQ(scene.shown(), (std::vector<core::MessageNumber>{core::MessageNumber::SearchCannotContinue}));

  commands.find();  // the bar was hidden: only shown
  EXPECT_TRUE(bar.state().visible());
  EXPECT_FALSE(commands.running());
  bar.textField().setText(QString::fromUtf8("予算"));
  bar.state().switches().cabinet = true;
  host.focus = {"", true};  // the top cabinet
  int result = 0;
  QObject::connect(&commands, &SearchCommands::finished, [&](int ended) { result = ended; });
  commands.find();
  ASSERT_TRUE(commands.waitForEnd(60000));
  ASSERT_EQ(host.hits.size(), 1u) << result << " " << ::testing::PrintToString(scene.shown());
  EXPECT_EQ(host.hits[0].row.tray, sjis("1受信"));
  std::vector<std::string> found;
  for (int step = 0; step < 8 && !bar.isHidden(); ++step) {
    commands.findNext();
    ASSERT_TRUE(commands.waitForEnd(60000));
  }
  for (const auto& hit : host.hits)
    found.push_back(test::mailName(hit.row.tray, hit.row.index) + " " + std::to_string(static_cast<int>(hit.kind)) + " " +
                    std::to_string(hit.bodyLine));
  EXPECT_EQ(found, (std::vector<std::string>{"1受信#0 20 0", "1受信#0 30 1", "2仕事/1会議#0 20 0",
                                             "2仕事/2案件/見積#0 30 2", "2仕事/3連絡#0 20 0", "2仕事/3連絡#0 30 1"}));
  EXPECT_TRUE(bar.isHidden()) << "the end hides the bar the search had shown";
}

}  // namespace
}  // namespace zorvik::ui
