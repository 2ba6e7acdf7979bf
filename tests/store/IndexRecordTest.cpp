#include <gtest/gtest.h>

#include <string>

#include "store/IndexHead.h"
#include "store/IndexRecord.h"
#include "store/LinkRecord.h"
#include "store/RecordFlags.h"

namespace zorvik::store {
namespace {

std::string le(std::uint32_t value) { return IndexHead::word(value); }

TEST(IndexRecordTest, FieldsLieAtTheirByteOffsetsLittleEndian) {
  IndexRecord record;
  record.setFlags(0x00011E11);
  record.setTextStart(0x01020304);
  record.setBodyStart(0x0A0B0C0D);
  record.setBodyLineCount(7);
  record.setHeaderLineCount(9);
  record.setDate(-86400);
  record.setListAddress("a@example.jp");
  record.setListName("Name");
  record.setSubject("Hello");
  record.setOwnKey({0x0102, 0x0304, 0x0506, 0x0708});
  record.setParentKey({1, 2, 3, 0xFFFF});

  const std::string_view bytes = record.bytes();
  ASSERT_EQ(bytes.size(), 170U);
  EXPECT_EQ(bytes.substr(0, 4), le(0x00011E11));
  EXPECT_EQ(bytes.substr(4, 4), "\x04\x03\x02\x01");
  EXPECT_EQ(bytes.substr(8, 4), le(0x0A0B0C0D));
  EXPECT_EQ(bytes.substr(12, 4), le(7));
  EXPECT_EQ(bytes.substr(16, 4), le(9));
  EXPECT_EQ(bytes.substr(20, 4), le(static_cast<std::uint32_t>(-86400)));
  EXPECT_EQ(bytes.substr(24, 30), std::string("a@example.jp") + std::string(18, '\0'));
  EXPECT_EQ(bytes.substr(54, 20), std::string("Name") + std::string(16, '\0'));
  EXPECT_EQ(bytes.substr(74, 80), std::string("Hello") + std::string(75, '\0'));
  EXPECT_EQ(bytes.substr(154, 8), std::string("\x02\x01\x04\x03\x06\x05\x08\x07", 8));
  EXPECT_EQ(bytes.substr(162, 8), std::string("\x01\0\x02\0\x03\0\xFF\xFF", 8));

  const IndexRecord back = IndexRecord::fromBytes(bytes.data());
  EXPECT_EQ(back, record);
  EXPECT_EQ(back.date(), -86400);
  EXPECT_EQ(back.referenceCount(), 15);
  EXPECT_EQ(back.mark(), 1);
  EXPECT_TRUE(back.isDeleted());
}

TEST(IndexRecordTest, TextAsLongAsTheFieldHasNoTerminatorAndLongerTextIsCut) {
  IndexRecord record;
  const std::string subject(100, 'S');
  record.setSubject(subject);
  EXPECT_EQ(record.subject(), subject.substr(0, 80));
  EXPECT_EQ(record.bytes().substr(154, 8), std::string(8, '\0')) << "the cut must not spill into the key";

  record.setListName(std::string(20, 'n'));
  EXPECT_EQ(record.listName().size(), 20U);
  record.setListName("ab");
  EXPECT_EQ(record.listName(), "ab") << "a shorter text clears the rest of the field";
}

TEST(IndexRecordTest, CountersArePackedIntoTheFlagsWordAndKeptInRange) {
  using namespace recordflag;
  EXPECT_EQ(withReferenceCount(0x10, 3), 0x10U | (3U << 9));
  EXPECT_EQ(withReferenceCount(kReferenceMask, 16), kReferenceMask) << "never above 15";
  EXPECT_EQ(withReferenceCount(kReferenceMask, -1), 0U) << "never below 0";
  EXPECT_EQ(withMark(0xFFFFFFFF, 2), (0xFFFFFFFFU & ~kMarkMask) | 0x20000U);
  EXPECT_EQ(withMark(0, 9), 0x10000U) << "only three bits of the mark are kept";
}

TEST(LinkRecordTest, NewLinkHasFlagsTwoIndexAndZeroPaddedName) {
  const auto link = LinkRecord::make("Box/Sub", 513);
  ASSERT_TRUE(link);
  const std::string_view bytes = link->bytes();
  EXPECT_EQ(bytes.substr(0, 4), le(2));
  EXPECT_EQ(bytes.substr(4, 4), le(513));
  EXPECT_EQ(bytes.substr(8), std::string("Box/Sub") + std::string(155, '\0'));

  const LinkRecord read = LinkRecord::of(IndexRecord::fromBytes(bytes.data()));
  EXPECT_EQ(read.targetTray(), "Box/Sub");
  EXPECT_EQ(read.targetIndex(), 513U);
}

TEST(LinkRecordTest, NameThatDoesNotFitIsRefusedRatherThanCut) {
  EXPECT_TRUE(LinkRecord::make(std::string(162, 'x'), 0));
  EXPECT_FALSE(LinkRecord::make(std::string(163, 'x'), 0));
  EXPECT_FALSE(LinkRecord::make("", 0));
}

}  // namespace
}  // namespace zorvik::store
