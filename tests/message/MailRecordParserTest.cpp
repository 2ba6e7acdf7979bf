#include "message/MailRecordParser.h"

#include <gtest/gtest.h>

#include "core/SettingsFile.h"
#include "message/ComposedHeaderWriter.h"
#include "platform/TextEncoding.h"

namespace zorvik::message {
namespace {

constexpr std::time_t kNow = 1796603405;  // 2026-12-07 09:30:05 JST

std::string sjis(const char* utf8) { return platform::utf8ToSjis(utf8); }

MailRecordParser parserFor(std::string userAddress, core::AliasTable aliases = {}) {
  return MailRecordParser(ParseContext{std::move(aliases), 9, kNow, std::move(userAddress)});
}

MailRecord parsed(std::string_view header, std::string_view identity = {},
                  const MailRecordParser& parser = parserFor("me@example.jp")) {
  MailRecord record;
  parser.parseText(record, header);
  parser.postProcess(record, identity);
  return record;
}

TEST(MailRecordParser, FieldsOfTheTable) {
  const MailRecord r = parsed(
      "DATE: Mon, 7 Dec 2026 09:30:05 +0900\r\n"
      "from: \"Taro\" <taro@example.jp>\r\n"
      "Subject:   Hello\r\n"
      "Sender: list-owner@example.jp\r\n"
      "Reply-To: list@example.jp\r\n"
      "Status: RO\r\n"
      "Organization: ignored by the table\r\n"
      "KRDX: k1\r\n"
      "X-Unknown: ignored\r\n"
      "\r\n"
      "Subject: in the body\r\n");
  EXPECT_EQ(r.date, kNow);
  EXPECT_EQ(r.from, "\"Taro\" <taro@example.jp>");
  EXPECT_EQ(r.subject, "Hello") << "spaces after the name are not part of the value";
  EXPECT_EQ(r.sender, "list-owner@example.jp");
  EXPECT_EQ(r.replyTo, "list@example.jp");
  EXPECT_EQ(r.status, "RO");
  EXPECT_EQ(r.krdx, "k1");
  EXPECT_EQ(r.organization, "");
}

TEST(MailRecordParser, AddressListsBecomeOneAddressALine) {
  const MailRecord r = parsed(
      "To: a@example.jp, \"Yamada, Taro\" <taro@example.jp>\r\n"
      "Cc: c1@example.jp\r\n"
      "To: b@example.jp;\r\n"
      "Cc: c2@example.jp\r\n"
      "Bcc: x@example.jp\r\n"
      "Bcc: y@example.jp,z@example.jp\r\n");
  EXPECT_EQ(r.to, "a@example.jp\r\n\"Yamada, Taro\" <taro@example.jp>\r\nb@example.jp")
      << "two To lines accumulate; a comma in quotes separates nothing";
  EXPECT_EQ(r.cc, "c1@example.jp\r\nc2@example.jp");
  EXPECT_EQ(r.bcc, "y@example.jp\r\nz@example.jp") << "a later Bcc replaces";
}

TEST(MailRecordParser, MessageIdAndParentKeys) {
  MailRecord r = parsed("Message-Id: <abc@example.jp>\r\n");
  EXPECT_EQ(r.messageId, "abc@example.jp");
  EXPECT_EQ(r.ownKey, threadKeyOf("abc@example.jp"));
  EXPECT_TRUE(isZero(r.parentKey));

  EXPECT_EQ(parsed("Message-Id: no brackets\r\n").messageId, "");
  EXPECT_EQ(parsed("Message-Id: <>\r\n").messageId, "");
  EXPECT_EQ(parsed("Message-Id: <cut@exam\r\n").messageId, "cut@exam") << "a lost > keeps the rest";

  // In-Reply-To takes its first id, References its last; whichever line
  // comes first sets the parent key.
  r = parsed("In-Reply-To: <p1@x> (sent by Taro) <p2@x>\r\nReferences: <r1@x> <r2@x>\r\n");
  EXPECT_EQ(r.parentKey, threadKeyOf("p1@x"));
  EXPECT_EQ(r.references, "<r1@x> <r2@x>");
  r = parsed("References: <r1@x>\r\n <r2@x>\r\nIn-Reply-To: <p1@x>\r\n");
  EXPECT_EQ(r.parentKey, threadKeyOf("r2@x"));
  EXPECT_EQ(r.inReplyTo, "<p1@x>");
  r = parsed("In-Reply-To: your mail of Monday\r\nReferences: <r1@x>\r\n");
  EXPECT_EQ(r.parentKey, threadKeyOf("r1@x")) << "a value without < sets no key";
}

TEST(MailRecordParser, ContentTypeFlags) {
  EXPECT_TRUE(parsed("Content-Type: Multipart/Mixed; boundary=x\r\n").has(mailflag::kAttachments));
  EXPECT_FALSE(parsed("Content-Type: text/plain\r\n").has(mailflag::kAttachments));
  EXPECT_TRUE(parsed("Content-Type: message/partial; id=\"x\"; number=1\r\n").has(mailflag::kFragment));

  const MailRecord pgp = parsed(
      "Content-Type: multipart/encrypted; boundary=b;\r\n  PROTOCOL=\"application/pgp-encrypted\"\r\n");
  EXPECT_TRUE(pgp.has(mailflag::kEncrypted));
  EXPECT_FALSE(pgp.has(mailflag::kAttachments));
  const MailRecord other = parsed("Content-Type: multipart/encrypted; protocol=\"application/x-other\"\r\n");
  EXPECT_FALSE(other.has(mailflag::kEncrypted));
  EXPECT_FALSE(other.has(mailflag::kAttachments));
  EXPECT_EQ(other.contentType, "multipart/encrypted; protocol=\"application/x-other\"");
}

TEST(MailRecordParser, ZorvikOwnLines) {
  const MailRecord r = parsed(
      "Message-Id: <a@b>\r\n"
      "Zorvik: 100,memo,1,0,300\r\n"
      "X-Zorvik-AttachDir: 1261207.000\r\n");
  EXPECT_EQ(r.internalCode, 100);
  EXPECT_EQ(r.internalText, "memo");
  EXPECT_EQ(r.internalNumber, 300);
  EXPECT_TRUE(r.has(mailflag::kSwitch1));
  EXPECT_FALSE(r.has(mailflag::kSwitch2));
  EXPECT_EQ(r.attachmentFolder, "1261207.000");
  EXPECT_TRUE(r.has(mailflag::kAttachments));

  EXPECT_EQ(parsed("Received: from a by b; Mon, 7 Dec 2026 09:30:05 +0900\r\n").internalCode, 200);
  EXPECT_EQ(parsed("Received:\r\n\tfrom a by b\r\n").internalCode, 200)
      << "a folded Received line unfolds without a space after the colon";
  EXPECT_EQ(parsed("X-Zorvik-Attach---: 1261207.000\r\n").attachmentFolder, "")
      << "a folder line disabled after decoding names no folder";
}

TEST(MailRecordParser, EndOfHeaderAndFolding) {
  const MailRecordParser parser = parserFor("me@example.jp");
  MailRecord r;
  EXPECT_FALSE(parser.parseLine(r, ""));
  EXPECT_FALSE(parser.parseLine(r, "\r"));
  EXPECT_TRUE(parser.parseLine(r, "Nonsense"));

  EXPECT_EQ(parser.parseText(r, "Subject: one\r\n\t two\r\nTo: a@b\r\n\r\nCc: c@d\r\n"), 2U);
  EXPECT_EQ(r.subject, "one\t two") << "the line break goes, the blanks stay";
  EXPECT_EQ(r.cc, "");

  MailRecord draft;
  parser.parseText(draft, "Subject: lf\r\nTo: a@b\r\n\r\nCc: c@d\r\n", "\n");
  EXPECT_EQ(draft.subject, "lf") << "the CR of an LF-separated text is no part of the value";
  EXPECT_EQ(draft.cc, "");
}

TEST(MailRecordParser, SentByTheUserOrToTheUser) {
  const std::string user = "me@example.jp";
  // Written here: sent by the user whatever the addresses say.
  EXPECT_TRUE(parsed("Zorvik: 100,,0,0,0\r\nMessage-Id: <a@b>\r\n").has(mailflag::kSentByUser));
  // Received with the user in To.
  MailRecord r = parsed("Message-Id: <a@b>\r\nFrom: x@y\r\nTo: Me <ME@example.jp>\r\nReceived: x\r\n");
  EXPECT_TRUE(r.has(mailflag::kToUser));
  EXPECT_FALSE(r.has(mailflag::kSentByUser));
  // From the user, not to the user: the user's own copy, unless received.
  r = parsed("Message-Id: <a@b>\r\nFrom: me@example.jp\r\nTo: x@y\r\n");
  EXPECT_TRUE(r.has(mailflag::kSentByUser));
  r = parsed("Message-Id: <a@b>\r\nFrom: me@example.jp\r\nTo: x@y\r\nReceived: by z\r\n");
  EXPECT_FALSE(r.has(mailflag::kSentByUser));
  // No Message-Id, or code 101: the user's, and never unread.
  r = parsed("From: x@y\r\nTo: z@w\r\n");
  EXPECT_TRUE(r.has(mailflag::kSentByUser) && r.has(mailflag::kSentUnread));
  r = parsed("Message-Id: <a@b>\r\nZorvik: 101,,0,0,0\r\n");
  EXPECT_TRUE(r.has(mailflag::kSentByUser) && r.has(mailflag::kSentUnread));
  // A part of the address is not the address.
  EXPECT_FALSE(parsed("Message-Id: <a@b>\r\nTo: time@example.jp\r\n").has(mailflag::kToUser));
  // The identity given by the caller stands for the settings' address.
  EXPECT_TRUE(parsed("Message-Id: <a@b>\r\nTo: other@example.jp\r\n", "other@example.jp").has(mailflag::kToUser));
}

TEST(MailRecordParser, WithoutAUserAddressNothingIsTheUsers) {
  // An account set up without an address: a mail whose To or From has no
  // address at all must not be taken for the user's.
  const MailRecordParser parser = parserFor("");
  const MailRecord r = parsed("Message-Id: <a@b>\r\nFrom: (nobody)\r\nTo: undisclosed-recipients:;\r\n", {}, parser);
  EXPECT_FALSE(r.has(mailflag::kToUser));
  EXPECT_FALSE(r.has(mailflag::kSentByUser));
}

TEST(MailRecordParser, ListValuesAndFromParts) {
  const std::string yamada = sjis("山田");
  MailRecord r = parsed("Message-Id: <a@b>\r\nFrom: " + yamada + " <taro@example.jp>\r\nTo: x@y\r\nSubject: [ML:12] hi\r\n");
  EXPECT_EQ(r.fromAddress, "taro@example.jp");
  EXPECT_EQ(r.fromName, yamada);
  EXPECT_EQ(r.fromLocalPart, "taro");
  EXPECT_EQ(r.listAddress, "taro@example.jp");
  EXPECT_EQ(r.listName, yamada);
  EXPECT_EQ(r.listTag, "ML");

  // The user's own mail shows its first recipient, and that there are more.
  r = parsed("Zorvik: 100,,0,0,0\r\nFrom: me@example.jp\r\nTo: hanako@example.jp, b@example.jp\r\n");
  EXPECT_EQ(r.listAddress, "hanako@example.jp...");
  EXPECT_EQ(r.listName, "hanako" + sjis(" 他"));
  r = parsed("Zorvik: 100,,0,0,0\r\nTo: Hanako <hanako@example.jp>\r\n");
  EXPECT_EQ(r.listAddress, "hanako@example.jp");
  EXPECT_EQ(r.listName, "Hanako");
}

TEST(MailRecordParser, AddressComparisons) {
  const MailRecordParser parser = parserFor("me@example.jp", {{"mail.example.ne.jp", "example.ne.jp"}});
  EXPECT_TRUE(parser.sameAddress("Taro <TARO@Example.JP>", "taro@example.jp (Taro)"));
  EXPECT_TRUE(parser.sameAddress("taro@mail.example.ne.jp", "Taro <taro@example.ne.jp>")) << "aliases apply";
  EXPECT_FALSE(parser.sameAddress("taro@example.jp", "jiro@example.jp"));
  EXPECT_FALSE(parser.sameAddress("", "")) << "no address is nobody's address";
  EXPECT_FALSE(parser.sameAddress("(comment only)", "\"name only\""));

  std::string matched;
  EXPECT_TRUE(parser.findAddressInList("b@x", "a@x\r\nBee <B@X>\r\nc@x", &matched));
  EXPECT_EQ(matched, "Bee <B@X>");
  EXPECT_TRUE(parser.findAddressInList("c@x", "a@x\nc@x"));
  EXPECT_FALSE(parser.findAddressInList("", "\r\n\r\n"));

  std::string longList;
  for (int i = 0; i < 1000; ++i) longList += "n" + std::to_string(i) + "@x\r\n";
  EXPECT_TRUE(parser.findAddressInList("n999@x", longList));
  EXPECT_FALSE(parser.findAddressInList("late@x", longList + "late@x")) << "only the first 1000 lines are looked at";
}

TEST(MailRecordParser, ReparseKeepsWhatTheIndexKnows) {
  const MailRecordParser parser = parserFor("me@example.jp");
  MailRecord r;
  r.flags = 0x10 | 0x30000 | mailflag::kAttachments | mailflag::kSwitch2;  // opened, mark 3
  r.textStart = 100;
  r.textEnd = 300;
  r.headerLineCount = 4;
  r.date = 12345;
  r.subject = "old";
  r.internalCode = 200;
  parser.reparse(r, "Subject: new\r\nMessage-Id: <m@x>\r\nTo: me@example.jp");
  EXPECT_EQ(r.subject, "new");
  EXPECT_EQ(r.internalCode, 0);
  EXPECT_EQ(r.flags, 0x10U | 0x30000U | mailflag::kToUser) << "header bits cleared, store bits kept";
  EXPECT_EQ(r.textStart, 100U);
  EXPECT_EQ(r.headerLineCount, 4U);
  EXPECT_EQ(r.date, 12345) << "a header without Date keeps the stored date";
}

TEST(MailRecordParser, ValuesFromTheSettings) {
  core::SettingsFile settings;
  settings.setText(core::item::kTimeZone, "EST5");
  settings.setText(core::item::kDomainAliases, "mail.example.jp=example.jp");
  settings.setText(core::item::kSenderName, "Me");
  settings.setText(core::item::kSenderAddress, "me@example.jp");
  settings.setText(core::item::kOrganization, "Org");
  settings.updateDerivedValues();
  const ParseContext context = ParseContext::fromSettings(settings, kNow);
  EXPECT_EQ(context.zoneHours, -5);
  EXPECT_EQ(context.userAddress, "me@example.jp");
  EXPECT_TRUE(MailRecordParser(context).sameAddress("me@mail.example.jp", "me@example.jp"));
  const ComposeSettings compose = ComposeSettings::fromSettings(settings, kNow);
  EXPECT_EQ(compose.userName, "Me");
  EXPECT_EQ(compose.organization, "Org");
  EXPECT_TRUE(compose.fullWidthKana) << "on by default";
  EXPECT_EQ(compose.zoneHours, -5);
}

TEST(MailRecord, SameMailAndJapaneseDomain) {
  MailRecord a;
  a.ownKey = threadKeyOf("id@x");
  a.date = 1000;
  a.subject = "Hello";
  MailRecord b = a;
  b.subject = "Hello again";
  EXPECT_TRUE(a.sameMailAs(b));
  EXPECT_FALSE(b.sameMailAs(a));
  b.date = 1001;
  EXPECT_FALSE(a.sameMailAs(b));

  MailRecord m;
  for (const char* to : {"a@example.jp", "a@example.JP", "A <a@example.jp>", "a@example.jp\r\nb@x.com", "a@x.jp b"}) {
    m.to = to;
    EXPECT_TRUE(m.hasJapaneseDomain()) << to;
  }
  for (const char* to : {"a@example.jpn", "a@example.com", "a@jp.example.com", "", "a@x.j"}) {
    m.to = to;
    EXPECT_FALSE(m.hasJapaneseDomain()) << to;
  }
}

}  // namespace
}  // namespace zorvik::message
