#include "message/ExtensionTable.h"
#include "message/MimeHeader.h"
#include "message/MimeParameters.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

namespace zorvik::message {
namespace {

TEST(MimeParameters, QuotedFoldedAndCommentedValues) {
  const MimeParameters p(
      "multipart/mixed; (a comment) BOUNDARY = \"=_a b;c\\\"d\";\r\n\tcharset=ISO-2022-JP (jis);"
      " name=\"long\r\n  name.txt\"; stray; x=");
  EXPECT_EQ(p.get("boundary"), "=_a b;c\"d");
  EXPECT_EQ(p.get("Charset"), "ISO-2022-JP");
  EXPECT_EQ(p.get("name"), "longname.txt") << "folding inside the quotes is dropped";
  EXPECT_EQ(p.get("x"), "");
  EXPECT_FALSE(p.get("stray"));
  EXPECT_FALSE(MimeParameters("text/plain").get("charset"));
}

TEST(MimeParameters, NameIsNotFoundInsideFilename) {
  const MimeParameters p("attachment; filename=\"a.pdf\"");
  EXPECT_FALSE(p.get("name"));
  EXPECT_EQ(MimeHeader::partName("attachment; filename=\"a.pdf\""), "a.pdf");
}

TEST(MimeParameters, Rfc2231SectionsAreJoinedBeforeTheCharset) {
  // 写 is E5 86 99 in UTF-8: cut between the two sections.
  const MimeParameters p("attachment; filename*1*=%99%E7%9C%9F.jpg; filename*0*=UTF-8'ja'%E5%86");
  EXPECT_EQ(p.extended("filename"), platform::utf8ToSjis("写真.jpg")) << "in number order, whatever the order written";
  EXPECT_EQ(MimeParameters("a; name*=iso-2022-jp''%1B$BI=%1B(B.xls").extended("name"), platform::utf8ToSjis("表.xls"));
  EXPECT_EQ(MimeParameters("a; name*0=\"plain \"; name*1=\"parts\"").extended("name"), "plain parts");
  EXPECT_EQ(MimeParameters("a; name*1=lost").extended("name"), std::nullopt) << "no section 0";
  EXPECT_EQ(MimeHeader::partName("a; name=\"\"; filename*=utf-8''x%2Ey"), "x.y")
      << "an empty plain name gives way to the extended one";
  EXPECT_EQ(MimeHeader::partName("a; filename*=utf-8''ext; name=plain"), "plain") << "a plain name wins";
}

TEST(MimeHeader, ContentTypesAndEncodings) {
  struct Case {
    const char* value;
    ContentKind kind;
  };
  for (const Case c : {Case{"Multipart/Alternative; boundary=x", ContentKind::multipart},
                       Case{"multipart/encrypted; protocol=x", ContentKind::encrypted},
                       Case{"application/x-uuencode", ContentKind::uuencode},
                       Case{"application/mac-binhex40", ContentKind::binHex},
                       Case{"TEXT/PLAIN; charset=us-ascii", ContentKind::textPlain},
                       Case{"TEXT", ContentKind::otherText}, Case{"text/enriched", ContentKind::otherText},
                       Case{"text/html", ContentKind::other}, Case{"text/csv", ContentKind::other},
                       Case{"text/calendar; method=REQUEST", ContentKind::other}, Case{"text/x-vcard", ContentKind::other},
                       Case{"textual/x", ContentKind::other}, Case{"message/partial; id=1", ContentKind::partial},
                       Case{"Message/RFC822", ContentKind::attachedMail}, Case{"image/jpeg", ContentKind::other}})
    EXPECT_EQ(MimeHeader::contentType(c.value).kind, c.kind) << c.value;
  EXPECT_EQ(MimeHeader::contentType("text/enriched").output, OutputKind::enriched);
  EXPECT_EQ(MimeHeader::contentType("multipart/mixed; boundary=\"\"").boundary, "");
  EXPECT_EQ(MimeHeader::transferEncoding("Base64\r\n").encoding, TransferEncoding::base64);
  EXPECT_EQ(MimeHeader::transferEncoding("quoted-printable").encoding, TransferEncoding::quotedPrintable);
  EXPECT_TRUE(MimeHeader::transferEncoding("x-uuencode").uuencode);
  EXPECT_EQ(MimeHeader::transferEncoding("binary").encoding, TransferEncoding::sevenBit);
  EXPECT_EQ(MimeHeader::messageId(" <a@b> (c)\r\n"), "a@b");
  EXPECT_EQ(MimeHeader::messageId("bare@id more"), "bare@id");
}

TEST(ExtensionTable, FirstMatchBothWays) {
  EXPECT_EQ(ExtensionTable::extensionFor("IMAGE/JPEG"), ".jpg");
  EXPECT_EQ(ExtensionTable::extensionFor("application/vnd"), ".000");
  EXPECT_EQ(ExtensionTable::contentTypeFor(".EXE"), "application/octet-stream");
  EXPECT_EQ(ExtensionTable::contentTypeFor(".txt"), "text/plain");
  EXPECT_EQ(ExtensionTable::contentTypeFor(".xyz"), "application/octet-stream");
}

}  // namespace
}  // namespace zorvik::message
