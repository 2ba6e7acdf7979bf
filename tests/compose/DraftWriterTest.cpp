// Storing a draft: the checks in their order, each refusal leaving nothing
// behind; the questions about first-time recipients and characters that
// will not arrive; what the stored mail carries (keyword, sender, Reply-To,
// signature once, attachment lines, edit map, split size); the drafts tray;
// and the replied mark, through a link too.
#include "compose/DraftWriter.h"

#include <gtest/gtest.h>

#include "compose/ComposeScene.h"
#include "compose/DraftFile.h"
#include "store/RecordFlags.h"
#include "store/TrayFlags.h"

namespace zorvik::compose {
namespace {

using core::MessageNumber;
using test::sjis;

class DraftWriterTest : public ::testing::Test {
protected:
  void SetUp() override {
    scene.settings.setText(core::item::kJapaneseSignature, sjis("--\r\n山田 太郎"));
    scene.settings.setText(core::item::kReplyTo, "reply@example.jp");
    tray = scene.tray("仕事");
  }

  std::optional<std::uint32_t> store(const Draft& draft, StoreOptions options = {}) {
    return DraftWriter(scene.store, scene.settings, scene.messages).store(draft, options, 1796000000);
  }
  std::string unsent() const { return scene.settings.text(core::item::kUnsentTray); }
  std::uint32_t count(const std::string& name) const { return *store::TrayFile(scene.store, name).count(false); }
  std::string stored(const std::string& name, std::uint32_t index) const {
    const store::TrayFile file(scene.store, name);
    std::string text = *file.headerLines(index) + "\r\n\r\n";
    auto body = file.bodyReader(index);
    for (std::string line; body->next(line);) text += line + "\r\n";
    return text;
  }
  std::string draftFolder() const {
    return platform::directoryOf(DraftFile::patternOf(scene.store, scene.settings));
  }
  void setProperties(const std::function<void(store::TrayProperties&)>& change) {
    const store::TrayFile file(scene.store, tray);
    auto properties = *file.properties();
    change(properties);
    ASSERT_TRUE(file.rewriteProperties(properties));
  }
  static Draft full() {
    Draft draft;
    draft.to = "hanako@example.jp";
    draft.subject = "s";
    draft.body = "text\n";
    return draft;
  }

  test::ComposeScene scene;
  std::string tray;
};

TEST_F(DraftWriterTest, ChecksComeInTheirOrderAndARefusalLeavesNothing) {
  const std::string attachment = scene.scratch.file("a.bin");
  platform::writeFileAtomically(attachment, "x");
  const auto without = [](std::function<void(Draft&)> change) {
    Draft draft = full();
    change(draft);
    return draft;
  };
  const struct {
    Draft draft;
    MessageNumber first;
  } cases[] = {
      {without([](Draft& d) { d = Draft{}; }), MessageNumber::NoMailText},
      {without([](Draft& d) { d.to.clear(), d.bodyFile = "/proc/no/Txm000"; }),
       MessageNumber::DraftNotStored},
      {without([](Draft& d) { d.to = " , ", d.subject.clear(); }), MessageNumber::NoRecipient},
      {without([](Draft& d) { d.subject.clear(), d.cc = "a\r\nb"; }), MessageNumber::NoSubject},
      {without([](Draft& d) { d.cc = "a\r\nb", d.attachments = {"/no/such"}; }), MessageNumber::BadAddress},
      {without([](Draft& d) { d.attachments = {"/no/such"}; }), MessageNumber::AttachmentNotOpened},
  };
  scene.settings.setNumber(core::item::kFirstLineAsSubject, 0);
  for (const auto& [draft, first] : cases) {
    const auto before = scene.shown().size();
    EXPECT_FALSE(store(draft).has_value()) << static_cast<int>(first);
    ASSERT_EQ(scene.shown().size(), before + 1);
    EXPECT_EQ(scene.shown().back(), first);
  }
  scene.settings.setText(core::item::kSenderAddress, "");
  EXPECT_FALSE(store(full()).has_value());
  EXPECT_EQ(scene.shown().back(), MessageNumber::NoOwnAddress);
  EXPECT_EQ(count(unsent()), 0u);
  EXPECT_TRUE(platform::listDirectory(draftFolder()).empty()) << "no body file is left behind";

  scene.settings.setText(core::item::kSenderAddress, "taro@example.jp");
  scene.settings.setNumber(core::item::kFirstLineAsSubject, 1);
  Draft firstLine = full();
  firstLine.subject = "  ";
  firstLine.body = "  the first line  \nmore\n";
  ASSERT_EQ(store(firstLine), 0u);
  EXPECT_NE(stored(unsent(), 0).find("Subject: the first line\r\n"), std::string::npos);
}

TEST_F(DraftWriterTest, TheStoredMailCarriesWhatTheTrayAndTheDraftGive) {
  setProperties([](store::TrayProperties& properties) {
    properties.from = sjis("\"会議室\" <room@example.jp>");
    properties.replyTo = "room-list@example.jp";
    properties.flags |= store::trayflag::kSplit;
    properties.flags &= ~store::trayflag::kOrganization;
    properties.splitSizeKb = 80;
  });
  scene.settings.setText(core::item::kOrganization, "Example");
  scene.settings.setNumber(core::item::kWarnNewRecipient, 0);
  const std::string attachment = scene.scratch.file("plan.pdf");
  platform::writeFileAtomically(attachment, "%PDF");
  Draft draft = full();
  draft.tray = tray;
  draft.keyword = sjis("会議");
  draft.inReplyTo = "Your message of x <m1@example.jp>";
  draft.references = "<m1@example.jp>";
  draft.editMap = "1,0,3-4";
  draft.attachments = {attachment};
  draft.body = "text\n--\n";
  ASSERT_EQ(store(draft), 0u);
  const std::string text = stored(unsent(), 0);
  for (const std::string& expected :
       {sjis("From: \"会議室\" <room@example.jp>\r\n"), sjis("Subject: [会議]s\r\n"),
        std::string("Reply-To: room-list@example.jp\r\n"), std::string("References: <m1@example.jp>\r\n"),
        std::string("In-Reply-To: Your message of x <m1@example.jp>\r\n"),
        std::string("Content-Type: multipart\r\n"), std::string("Zorvik: 100,,0,0,80\r\n"),
        std::string("KRDX: 1,0,3-4\r\n"),
        "\r\n\r\ntext\r\n--\r\n--\r\n" + sjis("山田 太郎") + "\r\n@#MIME \"" + attachment + "\"\r\n"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
  EXPECT_EQ(text.find("Organization"), std::string::npos) << text;

  setProperties([](store::TrayProperties& properties) {
    properties.flags = (properties.flags | store::trayflag::kNoSubjectKeyword) & ~store::trayflag::kReplyTo;
  });
  draft.attachments.clear();
  draft.withoutSignature = true;
  ASSERT_EQ(store(draft), 1u);
  const std::string plain = stored(unsent(), 1);
  EXPECT_NE(plain.find("Subject: s\r\n"), std::string::npos) << plain;
  EXPECT_EQ(plain.find("\r\nReply-To:"), std::string::npos) << plain;
  EXPECT_TRUE(plain.ends_with("\r\n\r\ntext\r\n--\r\n")) << "no signature when it is turned off";
  EXPECT_TRUE(scene.shown().empty());
}

TEST_F(DraftWriterTest, FirstTimeRecipientsAndUnsendableCharactersAreAskedAbout) {
  setProperties([](store::TrayProperties& properties) { properties.sendGroupTo = "Jiro <JIRO@example.jp>\r\nx@y"; });
  Draft draft = full();
  draft.tray = tray;
  draft.to = "jiro@example.jp, hanako@example.jp, saburo@example.jp";
  EXPECT_FALSE(store(draft).has_value()) << "no cancels at the first unknown address";
  EXPECT_EQ(scene.shown(), (std::vector<MessageNumber>{MessageNumber::FirstTimeRecipient}));
  EXPECT_NE(scene.reporter.boxes().back().text.find("hanako@example.jp"), std::string::npos);
  scene.reporter.setAnswer(true);
  EXPECT_TRUE(store(draft).has_value());
  EXPECT_EQ(scene.shown().size(), 3u) << "one question for each of the two";
  scene.settings.setNumber(core::item::kWarnNewRecipient, 0);
  EXPECT_TRUE(store(draft).has_value());
  EXPECT_EQ(scene.shown().size(), 3u);

  Draft circled = full();
  circled.body = sjis("番号 ① と ｶﾅ\n");
  scene.reporter.setAnswer(false);
  EXPECT_FALSE(store(circled, {DraftTarget::Unsent, true, {}}).has_value());
  EXPECT_EQ(scene.shown().back(), MessageNumber::CharactersNotArriving);
  EXPECT_TRUE(store(circled).has_value()) << "a front end that showed the list itself does not ask";
  Draft kana = full();
  kana.body = sjis("ｶﾅ\n");
  const auto asked = scene.shown().size();
  EXPECT_TRUE(store(kana, {DraftTarget::Unsent, true, {}}).has_value()) << "full-width kana read the same";
  EXPECT_EQ(scene.shown().size(), asked);
}

TEST_F(DraftWriterTest, RepliesMarkTheirMailsThroughLinksAndKeptDraftsCheckLittle) {
  const std::uint32_t mail = scene.add(tray, {"From: a@example.jp", "Subject: q", "Message-Id: <q@x>", "Received: x"},
                                       {"question"});
  const std::string other = scene.tray("other");
  std::uint32_t link = 0;
  ASSERT_EQ(store::TrayFile(scene.store, tray).linkInto(mail, store::TrayFile(scene.store, other), &link),
            store::LinkResult::Done);
  const auto replied = [&] {
    store::TrayRecord row;
    store::TrayFile(scene.store, tray).read(mail, row);
    return row.record.hasFlag(store::recordflag::kReplied);
  };
  Draft draft = full();
  draft.kind = DraftKind::Forward;
  draft.originals = {{other, link}};
  ASSERT_TRUE(store(draft).has_value());
  EXPECT_FALSE(replied()) << "a forward is no reply";
  draft.kind = DraftKind::Reply;
  ASSERT_TRUE(store(draft, {DraftTarget::Drafts, false, {}}).has_value());
  EXPECT_FALSE(replied()) << "a kept draft has not been sent";
  ASSERT_TRUE(store(draft).has_value());
  EXPECT_TRUE(replied());

  // Kept: without recipient, subject or signature; the caller's body file
  // goes once the draft is stored, and stays after a refusal.
  const std::string drafts = scene.settings.text(core::item::kDraftsTray);
  Draft kept;
  kept.tray = tray;
  kept.bodyFile = *DraftFile::create(DraftFile::patternOf(scene.store, scene.settings), "half\r\n");
  ASSERT_EQ(store(kept, {DraftTarget::Drafts, false, {}}), 1u);
  EXPECT_FALSE(platform::pathExists(kept.bodyFile));
  const std::string text = stored(drafts, 1);
  EXPECT_NE(text.find(sjis("To: (宛先なし)\r\n")), std::string::npos) << text;
  EXPECT_TRUE(text.ends_with("\r\n\r\nhalf\r\n")) << text;

  kept.bodyFile = *DraftFile::create(DraftFile::patternOf(scene.store, scene.settings), "half\r\n");
  EXPECT_FALSE(store(kept).has_value());
  EXPECT_EQ(scene.shown().back(), MessageNumber::NoRecipient);
  EXPECT_TRUE(platform::pathExists(kept.bodyFile)) << "the window keeps its draft open";
}

}  // namespace
}  // namespace zorvik::compose
