// The draft workflows a front end starts: a reply prepared for a link row
// marks the mail behind the link once it is queued, the document's address
// book fills the templates, the user's edit is followed line by line, and a
// kept draft taken up again replaces the one it came from.
#include <gtest/gtest.h>

#include <ctime>

#include "compose/DraftFile.h"
#include "mailflow/AddressBookFlow.h"
#include "mailflow/DraftFlow.h"
#include "mailflow/FlowScene.h"
#include "message/MailRecordParser.h"
#include "platform/TextEncoding.h"
#include "store/RecordFlags.h"
#include "store/TrayFile.h"
#include "store/WorkFileAppender.h"

namespace zorvik::mailflow {
namespace {

using platform::utf8ToSjis;

class DraftFlowTest : public ::testing::Test {
protected:
  void SetUp() override {
    core::SettingsFile& settings = scene.document->settings();
    settings.setText(core::item::kSenderAddress, "taro@example.jp");
    settings.setNumber(core::item::kWarnNewRecipient, 0);
    newMail = scene.tray(core::item::kNewMailTray);
    std::string text = "From \r\nFrom: hanako@example.jp\r\nSubject: q\r\nMessage-Id: <q@example.jp>\r\n"
                       "Received: by mx\r\n\r\nquestion\r\n";
    platform::writeFileAtomically(scene.scratch.file("in.XM0"), text);
    const message::MailRecordParser parser(message::ParseContext::fromSettings(settings, std::time(nullptr)));
    ASSERT_TRUE(store::WorkFileAppender::append(scene.scratch.file("in.XM0"), trayFile(newMail), parser));
    work = utf8ToSjis("仕事");
    ASSERT_TRUE(trayFile(work).createInheriting());
    ASSERT_EQ(trayFile(newMail).linkInto(0, trayFile(work), &link), store::LinkResult::Done);
  }
  store::TrayFile trayFile(const std::string& name) const { return store::TrayFile(scene.document->store(), name); }
  std::uint32_t flagsOf(const std::string& tray, std::uint32_t index) const {
    store::TrayRecord row;
    EXPECT_EQ(trayFile(tray).read(index, row), store::ReadResult::Live);
    return row.record.flags();
  }

  test::FlowScene scene;
  std::string newMail;
  std::string work;
  std::uint32_t link = 0;
};

TEST_F(DraftFlowTest, AReplyThroughALinkIsPreparedStoredAndMarksTheMail) {
  auto draft = DraftFlow::prepare(*scene.document, compose::DraftKind::Reply, work, {link});
  ASSERT_TRUE(draft.has_value());
  EXPECT_EQ(draft->prepared.to, "hanako@example.jp");
  EXPECT_EQ(draft->prepared.originals, (std::vector<store::MailPlace>{{work, link}}));
  EXPECT_EQ(draft->tray, work);
  EXPECT_NE(platform::readFile(draft->bodyFile).value_or("").find("hanako>question\r\n"), std::string::npos)
      << "the body file holds the text with CR LF line ends";
  ASSERT_TRUE(DraftFlow::store(*scene.document, draft->toDraft(), {}).has_value());
  EXPECT_NE(flagsOf(newMail, 0) & store::recordflag::kReplied, 0u);
  EXPECT_FALSE(platform::pathExists(draft->bodyFile));

  EXPECT_FALSE(DraftFlow::prepare(*scene.document, compose::DraftKind::Reply, work, {link + 5}).has_value());
  EXPECT_FALSE(DraftFlow::prepare(*scene.document, compose::DraftKind::Reply, "nowhere", {0}).has_value());
  EXPECT_TRUE(scene.shown().empty());
}

TEST_F(DraftFlowTest, TheDocumentsBookFillsTheTemplateAndTheEditMapFollowsTheUser) {
  core::SettingsFile& settings = scene.document->settings();
  settings.setText(core::item::kTemplateFolder, scene.scratch.file("Template"));
  ASSERT_TRUE(platform::makeDirectories(scene.scratch.file("Template/Reply")));
  ASSERT_TRUE(platform::writeFileAtomically(scene.scratch.file("Template/Reply/wab.XM8"),
                                            "[WAB-CORP] [WAB-NAME] 様\n[body]\n"));
  ASSERT_TRUE(platform::writeFileAtomically(AddressBookFlow::pathOf(*scene.document),
                                            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:鈴木 花子\r\n"
                                            "EMAIL:hanako@example.jp\r\nORG:鈴木商事\r\nEND:VCARD\r\n"));
  const auto prepareWab = [&] {
    return DraftFlow::prepare(*scene.document, compose::DraftKind::Reply, work, {link}, {"wab", nullptr});
  };
  settings.setNumber(core::item::kUseAddressBook, 0);
  auto withoutBook = prepareWab();
  ASSERT_TRUE(withoutBook.has_value());
  EXPECT_EQ(withoutBook->prepared.body, utf8ToSjis("  様\nquestion\n")) << "the book is off";
  DraftFlow::discard(*withoutBook);
  EXPECT_FALSE(platform::pathExists(withoutBook->bodyFile));

  settings.setNumber(core::item::kUseAddressBook, 1);
  auto draft = prepareWab();
  ASSERT_TRUE(draft.has_value());
  EXPECT_EQ(draft->prepared.body, utf8ToSjis("鈴木商事 鈴木 花子 様\nquestion\n"));
  EXPECT_EQ(draft->editMap, "1,0") << "every line loaded";

  // The user writes above the quote and changes its last line.
  ASSERT_TRUE(DraftFlow::edit(*draft, utf8ToSjis("鈴木商事 鈴木 花子 様\nお世話になります。\nquestion?\n")));
  EXPECT_EQ(draft->editMap, "1,0,1-2");
  EXPECT_EQ(compose::DraftFile::read(draft->bodyFile), draft->prepared.body);
  const auto kept = DraftFlow::store(*scene.document, draft->toDraft(), {compose::DraftTarget::Drafts, false, {}});
  ASSERT_TRUE(kept.has_value());
  const auto reopened = DraftFlow::reopen(*scene.document, scene.tray(core::item::kDraftsTray), *kept);
  ASSERT_TRUE(reopened.has_value());
  EXPECT_EQ(reopened->editMap, "1,0,1-2") << "kept with the draft";
  DraftFlow::discard(*reopened);
}

TEST_F(DraftFlowTest, AKeptDraftTakenUpAgainReplacesTheOneItCameFrom) {
  auto draft = DraftFlow::prepare(*scene.document, compose::DraftKind::Forward, work, {link});
  ASSERT_TRUE(draft.has_value());
  draft->editMap = "1,0,2";
  const std::string drafts = scene.tray(core::item::kDraftsTray);
  ASSERT_EQ(DraftFlow::store(*scene.document, draft->toDraft(), {compose::DraftTarget::Drafts, false, {}}), 0u);

  auto reopened = DraftFlow::reopen(*scene.document, drafts, 0);
  ASSERT_TRUE(reopened.has_value());
  EXPECT_EQ(reopened->prepared.to, "") << "the stand-in for no recipient is no address";
  EXPECT_EQ(reopened->prepared.subject, utf8ToSjis("[仕事]FW:q"));
  EXPECT_EQ(reopened->editMap, "1,0,2");
  EXPECT_EQ(compose::DraftFile::read(reopened->bodyFile), draft->prepared.body);
  reopened->prepared.to = "jiro@example.jp";
  const auto sent = DraftFlow::store(*scene.document, reopened->toDraft(), {}, reopened->reopened);
  ASSERT_TRUE(sent.has_value());
  EXPECT_EQ(trayFile(drafts).count(false), 0u) << "the kept draft went to the trash";
  EXPECT_EQ(trayFile(scene.tray(core::item::kTrashTray)).count(false), 1u);
  EXPECT_EQ(trayFile(scene.tray(core::item::kUnsentTray)).count(false), 1u);
}

}  // namespace
}  // namespace zorvik::mailflow
