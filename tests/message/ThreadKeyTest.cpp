#include "message/ThreadKey.h"

#include <gtest/gtest.h>

namespace zorvik::message {
namespace {

// Expected values were worked out independently of the code; the keys are
// stored in every index record, so any change here breaks old trays.
TEST(ThreadKey, FourWeightedSumsOfTheQuarters) {
  EXPECT_EQ(threadKeyOf("abcd"), (ThreadKey{26248, 32228, 38228, 44248})) << "one byte a piece, first weights";
  EXPECT_EQ(threadKeyOf("1020305102030.00000000.taro@example.jp"), (ThreadKey{60304, 86, 47140, 45420}))
      << "38 bytes: pieces of 9, 9, 9 and 11";
  EXPECT_EQ(threadKeyOf("1261207093005.0000002A.someone@mail.example.co.jp"),
            (ThreadKey{56012, 37153, 31472, 36354}))
      << "pieces of 12 bytes: the weights start over after the tenth byte";
}

TEST(ThreadKey, ShortIdsLandWholeInTheLastPiece) {
  EXPECT_EQ(threadKeyOf("abc"), (ThreadKey{0, 0, 0, 3172}));
  EXPECT_EQ(threadKeyOf(""), (ThreadKey{0, 0, 0, 0}));
  EXPECT_TRUE(isZero(threadKeyOf("")));
  EXPECT_FALSE(isZero(threadKeyOf("a")));
}

TEST(ThreadKey, BytesCountAsSigned) {
  EXPECT_EQ(threadKeyOf("\xff"), (ThreadKey{0, 0, 0, 60506})) << "-1 x 5030 modulo 65536";
  EXPECT_EQ(threadKeyOf("\x82\xa0\x82\xa2xyz@example.jp"), (ThreadKey{58400, 9406, 60748, 59222}));
}

}  // namespace
}  // namespace zorvik::message
