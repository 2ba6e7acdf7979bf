// The first text and header values of a draft: built-in texts, template
// files with every keyword, reply headers, several mails at once, the kind
// change for the user's own mails, forwards that carry attachments, and
// the signatures a tray chooses.
#include "compose/DraftPreparer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "addressbook/VCardAddressBook.h"
#include "compose/Signatures.h"
#include "compose/ComposeScene.h"

namespace zorvik::compose {
namespace {

using core::MessageNumber;
using test::sjis;

// The received mail most tests answer: a Reply-To, the user among the
// recipients (in another letter case too), the tray's keyword in the subject.
const std::vector<std::string> kHeader{
    "From: Hanako <hanako@example.jp>", "Reply-To: list@example.jp", "To: taro@example.jp, jiro@example.jp",
    "Cc: saburo@example.jp, TARO@example.jp", sjis("Subject: [仕事]Re: 予定"),
    "Date: Mon, 7 Dec 2026 09:30:00 +0900", "Message-Id: <m1@example.jp>", "Received: by mx; Mon, 7 Dec 2026"};

// The address book knows the sender (ORG is company; department; office).
const char kBook[] =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:鈴木 花子\r\nEMAIL:Hanako@Example.jp\r\nTITLE:課長\r\n"
    "ORG:鈴木商事;営業部;本社\r\nNOTE:memo\r\nEND:VCARD\r\n";

class DraftPreparerTest : public ::testing::Test {
protected:
  void SetUp() override {
    ::setenv("LC_ALL", "C", 1);  // the built-in texts write dates as the locale does
    scene.settings.setText(core::item::kJapaneseSignature, sjis("--\r\n山田 太郎"));
    scene.settings.setText(core::item::kEnglishSignature, "--\r\nTaro Yamada");
    tray = scene.tray("仕事");
    received = scene.add(tray, kHeader, {sjis("こんにちは"), sjis("> 前の話"), "", "-- ", sjis("花子")});
    platform::writeFileAtomically(scene.scratch.file("book.vcf"), kBook);
  }

  PreparedDraft prepare(DraftKind kind, std::vector<std::uint32_t> indices,
                        std::optional<std::string> templateName = std::nullopt) {
    PrepareRequest request{kind, tray, *store::TrayFile(scene.store, tray).properties(), {}, templateName};
    for (const std::uint32_t index : indices) request.sources.push_back(scene.source(tray, index));
    return DraftPreparer(scene.settings, scene.messages, &book).prepare(request);
  }

  void setProperties(const std::function<void(store::TrayProperties&)>& change) {
    const store::TrayFile file(scene.store, tray);
    auto properties = *file.properties();
    change(properties);
    ASSERT_TRUE(file.rewriteProperties(properties));
  }

  test::ComposeScene scene;
  addressbook::VCardAddressBook book{scene.scratch.file("book.vcf")};
  std::string tray;
  std::uint32_t received = 0;
};

TEST_F(DraftPreparerTest, ReplyHasTheBuiltInTextAndTheReplyHeaders) {
  const PreparedDraft reply = prepare(DraftKind::Reply, {received});
  EXPECT_EQ(reply.kind, DraftKind::Reply);
  EXPECT_EQ(reply.to, "list@example.jp") << "Reply-To comes first";
  EXPECT_EQ(reply.cc, "");
  EXPECT_EQ(reply.subject, sjis("Re^2: 予定")) << "the keyword out, the earlier reply counted";
  EXPECT_EQ(reply.keyword, sjis("仕事")) << "the tray's name stands for its keyword";
  EXPECT_EQ(reply.inReplyTo, "Your message of Mon, 07 Dec 2026 09:30:00 +0900 <m1@example.jp>");
  EXPECT_EQ(reply.references, "<m1@example.jp>");
  EXPECT_EQ(reply.body, sjis("  拝啓，Hanako <hanako@example.jp> 様\n"
                             "  時刻 Mon Dec  7 09:30:00 2026 に送信されたメールの返事です。\n"
                             "hanako>こんにちは\n> 前の話\n\nhanako>-- \nhanako>花子\n"));
  EXPECT_EQ(reply.originals, (std::vector<store::MailPlace>{{tray, received}}));

  const PreparedDraft all = prepare(DraftKind::ReplyAll, {received});
  EXPECT_EQ(all.to, "list@example.jp");
  EXPECT_EQ(all.cc, "jiro@example.jp,saburo@example.jp") << "the user's own address left out, in any case";
  EXPECT_TRUE(scene.shown().empty());
}

TEST_F(DraftPreparerTest, TemplateFilesReplaceEveryKeyword) {
  scene.writeTemplate("Reply", "full",
                      "[key]|[name]|[name@]|[addr]|[From:]|[To:]|[Cc:]|[Subject:]|[Date:]\n"
                      "[Message-Id:]|[Sender:]|[Reply-To:]|[References:]|[In-Reply-To:]|[Status:]\n"
                      "[WAB-NAME]|[WAB-TITL]|[WAB-OFIC]|[WAB-SECT]|[WAB-CORP]|[WAB-MEMO]\n"
                      "Dear [NAME] of [wab-corp], [unknown] and [[name]]\n"
                      "[tagbody]\n[body]\n[signjp]\n[signeng]\n[signauto]\n");
  const PreparedDraft draft = prepare(DraftKind::Reply, {received}, "full");
  EXPECT_EQ(draft.body,
            sjis("仕事|Hanako|hanako|hanako@example.jp|Hanako <hanako@example.jp>|taro@example.jp,jiro@example.jp|"
                 "saburo@example.jp,TARO@example.jp|[仕事]Re: 予定|Mon, 07 Dec 2026 09:30:00 +0900\n"
                 "<m1@example.jp>||list@example.jp|||\n"
                 "鈴木 花子|課長|本社|営業部|鈴木商事|memo\n"
                 "Dear Hanako of 鈴木商事, [unknown] and [Hanako]\n"
                 "hanako>こんにちは\n> 前の話\n\nhanako>-- \nhanako>花子\n"
                 "こんにちは\n> 前の話\n\n-- \n花子\n"
                 "--\n山田 太郎\n--\nTaro Yamada\n--\n山田 太郎\n"))
      << "the automatic signature goes by the reply's To, a .jp address";
  EXPECT_TRUE(scene.shown().empty());

  // A template written by a Linux editor in UTF-8, with or without a byte
  // order mark, reads as the same text; Shift_JIS reads as it is.
  for (const std::string& bytes : {std::string("\xEF\xBB\xBF") + "拝啓 [name] 様\n", std::string("拝啓 [name] 様\n"),
                                   sjis("拝啓 [name] 様\n")}) {
    scene.writeTemplate("Reply", "greeting", bytes);
    EXPECT_EQ(prepare(DraftKind::Reply, {received}, "greeting").body, sjis("拝啓 Hanako 様\n"));
  }
}

TEST_F(DraftPreparerTest, NoneStandardAndMissingTemplates) {
  const PreparedDraft none = prepare(DraftKind::Reply, {received}, sjis("なし"));
  EXPECT_EQ(none.body, "");
  EXPECT_EQ(none.to, "list@example.jp") << "the reply headers are set all the same";
  EXPECT_EQ(none.subject, sjis("Re^2: 予定"));
  EXPECT_EQ(prepare(DraftKind::New, {}).body, "") << "the standard new mail is empty";
  EXPECT_TRUE(scene.shown().empty());

  const PreparedDraft missing = prepare(DraftKind::Forward, {received}, "nowhere");
  EXPECT_EQ(missing.body, "");
  EXPECT_EQ(missing.subject, sjis("FW:Re: 予定"));
  EXPECT_EQ(scene.shown(), (std::vector<MessageNumber>{MessageNumber::NoTemplate}));

  scene.writeTemplate("New", "memo", "[key] [name] [body]|\n");
  EXPECT_EQ(prepare(DraftKind::New, {}, "memo").body, sjis("仕事  |\n")) << "a new mail has no source fields";
}

TEST_F(DraftPreparerTest, ForwardQuotesWithABarAndCarriesTheAttachments) {
  const std::uint32_t withFile =
      scene.add(tray, {"From: Jiro <jiro@example.jp>", "Subject: files", "Date: Mon, 7 Dec 2026 10:00:00 +0900",
                       "Message-Id: <m2@example.jp>", "X-Zorvik-AttachDir: 1261207.000", "Received: by mx"},
                {"see the file", "@#MIME \"%:plan.pdf\"", "@#MIME \"/etc/passwd\""});
  const PreparedDraft forward = prepare(DraftKind::Forward, {withFile});
  EXPECT_EQ(forward.to, "");
  EXPECT_EQ(forward.subject, "FW:files");
  EXPECT_EQ(forward.inReplyTo, "");
  const std::string root = scene.store.topCabinetPath() + "/.inc";
  EXPECT_EQ(forward.body, sjis("Jiro <jiro@example.jp> 様が\n  時刻 Mon Dec  7 10:00:00 2026 に送信したメールを転送します。\n") +
                              std::string(59, '-') + "\n|see the file\n@#MIME \"" + root +
                              "/1261207.000/plan.pdf\"\n|@#MIME \"/etc/passwd\"\n");
}

TEST_F(DraftPreparerTest, SeveralMailsMakeOneDraft) {
  const std::uint32_t second =
      scene.add(tray, {"From: Jiro <jiro@example.jp>", "To: taro@example.jp", "Subject: B",
                       "Message-Id: <m2@example.jp>", "Received: by mx"},
                {"two"});
  const std::uint32_t third = scene.add(tray, {"From: hanako@EXAMPLE.jp", "Subject: C", "Received: by mx"}, {"3"});
  setProperties([](store::TrayProperties& properties) { properties.tagSelection = 0; });
  const PreparedDraft draft = prepare(DraftKind::Reply, {received, second, third}, sjis("なし"));
  EXPECT_EQ(draft.subject, sjis("Re^2: 予定+B+C"));
  EXPECT_EQ(draft.to, "list@example.jp,Jiro <jiro@example.jp>,hanako@EXAMPLE.jp");
  EXPECT_EQ(draft.references, "<m1@example.jp> <m2@example.jp>");
  EXPECT_EQ(draft.body, std::string(63, '=') + "\n" + std::string(63, '=') + "\n");

  scene.writeTemplate("Reply", "quote", "[tagbody]\n");
  EXPECT_EQ(prepare(DraftKind::Reply, {second, third}, "quote").body, ">two\n" + std::string(63, '=') + "\n>3\n");
}

TEST_F(DraftPreparerTest, ARepliedOwnMailBecomesAnAdditionOrACopy) {
  const std::vector<std::string> body{"the plan", "@#MIME \"/home/taro/plan.pdf\"", "--", sjis("山田 太郎")};
  const std::uint32_t sent = scene.add(
      tray, {"From: taro@example.jp", "To: hanako@example.jp", "Cc: jiro@example.jp", "Bcc: boss@example.jp",
             "Subject: plan", "Date: Mon, 7 Dec 2026 11:00:00 +0900", "Zorvik: 101,,0,0,0"},
      body);
  const PreparedDraft addition = prepare(DraftKind::Reply, {sent});
  EXPECT_EQ(addition.kind, DraftKind::Addition) << "a mail that went out gets a follow-up";
  EXPECT_EQ(addition.subject, "PS:plan");
  EXPECT_EQ(addition.to, "hanako@example.jp");
  EXPECT_EQ(addition.cc, "jiro@example.jp");
  EXPECT_EQ(addition.bcc, "boss@example.jp");
  EXPECT_EQ(addition.body, sjis("  拝啓，hanako@example.jp 様\n  時刻 Mon Dec  7 11:00:00 2026 に送信したメールの追加です。\n"
                                "taro>the plan\n@#MIME \"/home/taro/plan.pdf\"\n"))
      << "the user's own tag line stays a command; the signature is not quoted again";

  const std::uint32_t unsent = scene.add(
      tray, {"From: taro@example.jp", "To: hanako@example.jp", "Subject: [x]draft", "Zorvik: 100,,0,0,0"}, body);
  const PreparedDraft copy = prepare(DraftKind::ReplyAll, {unsent});
  EXPECT_EQ(copy.kind, DraftKind::Copy) << "a mail that did not go out is taken up again";
  EXPECT_EQ(copy.subject, "[x]draft");
  EXPECT_EQ(copy.to, "hanako@example.jp");
  EXPECT_EQ(copy.inReplyTo, "");
  EXPECT_EQ(copy.body, "the plan\n@#MIME \"/home/taro/plan.pdf\"\n");
}

TEST_F(DraftPreparerTest, SignaturesByKindDomainAndFile) {
  store::TrayProperties properties = test::ComposeScene::ordinaryTray();
  const auto lines = [&](int kind, std::string_view to) { return Signatures(scene.settings, properties).lines(kind, to); };
  const std::vector<std::string> japanese{"--", sjis("山田 太郎")};
  const std::vector<std::string> english{"--", "Taro Yamada"};
  EXPECT_EQ(lines(Signatures::kNone, "a@example.jp"), std::vector<std::string>{});
  EXPECT_EQ(lines(Signatures::kJapanese, "a@example.com"), japanese);
  EXPECT_EQ(lines(Signatures::kEnglish, "a@example.jp"), english);
  for (const auto& [to, expected] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {"a@example.jp", japanese}, {"A <a@EXAMPLE.JP>", japanese}, {"a@example.jp.com", english},
           {"a@example.com", english}, {"", english}})
    EXPECT_EQ(lines(Signatures::kAutomatic, to), expected) << to;

  properties.signatureFile = "office";
  scene.writeTemplate("Sign", "office", "-- \n鈴木商事 山田\n");  // UTF-8, as a Linux editor writes it
  EXPECT_EQ(lines(Signatures::kAutomatic, "a@example.com"), (std::vector<std::string>{"-- ", sjis("鈴木商事 山田")}));
  properties.signatureFile = "missing";
  EXPECT_EQ(lines(Signatures::kAutomatic, "a@example.com"), english) << "a file that cannot be read falls back";
}

}  // namespace
}  // namespace zorvik::compose
