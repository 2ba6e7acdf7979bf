#include "message/MailDate.h"

#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

namespace zorvik::message {
namespace {

constexpr int kJapan = 9;
constexpr std::time_t kNow = 1234567890;
constexpr std::time_t k20261207_0030Utc = 1796603400;
constexpr std::time_t k20020305_1020Utc = 1015323600;

std::time_t parse(std::string_view text, int zone = kJapan) { return MailDate::parse(text, zone, kNow); }

TEST(MailDate, ReadsTheCommonShapes) {
  EXPECT_EQ(parse("Mon, 07 Dec 2026 09:30:00 +0900"), k20261207_0030Utc);
  EXPECT_EQ(parse("7 Dec 2026 09:30:00 +0900 (JST)"), k20261207_0030Utc);
  EXPECT_EQ(parse("Sun, 6 Dec 2026 16:30:00 -0800"), k20261207_0030Utc);
  EXPECT_EQ(parse("Mon, 7 DEC 2026 9:30 jst"), k20261207_0030Utc);
  EXPECT_EQ(parse("Monday, 7 December 2026 00:30:00 GMT"), k20261207_0030Utc);
  // Leading ASCII and full-width blanks are skipped before the length check.
  EXPECT_EQ(parse(platform::utf8ToSjis(" \u3000 7 Dec 26 09:30 +0900")), k20261207_0030Utc);
}

TEST(MailDate, TwoDigitYearWithoutSecondsMovesIntoTheLocalZone) {
  const std::time_t read = parse("Tue, 5 Mar 02 10:20 +0000");
  EXPECT_EQ(read, k20020305_1020Utc);
  EXPECT_EQ(MailDate::format(read, kJapan), "Tue, 05 Mar 2002 19:20:00 +0900");
  EXPECT_EQ(parse("31 Dec 99 15:00:00 +0000"), 946652400);  // 99 is 1999
}

TEST(MailDate, WithoutZoneTheFieldsAreLocalTime) {
  EXPECT_EQ(parse("7 Dec 2026 09:30:00"), k20261207_0030Utc);
  EXPECT_EQ(parse("7 Dec 2026 00:30:00", 0), k20261207_0030Utc);
}

TEST(MailDate, ZoneMinutesAndNamedZonesCount) {
  EXPECT_EQ(parse("Mon, 7 Dec 2026 06:00:00 +0530"), k20261207_0030Utc);
  EXPECT_EQ(parse("Sun, 6 Dec 2026 21:00:00 -0330"), k20261207_0030Utc);
  EXPECT_EQ(parse("Sun, 6 Dec 2026 19:30:00 EST"), k20261207_0030Utc);
  EXPECT_EQ(parse("Sun, 6 Dec 2026 17:30:00 PDT"), k20261207_0030Utc);
  // A name nobody knows is read as UTC rather than failing the date.
  EXPECT_EQ(parse("Mon, 7 Dec 2026 00:30:00 XYZ"), k20261207_0030Utc);
}

TEST(MailDate, InvalidValuesGiveNow) {
  for (const char* text : {"Mon, 7 Dec 2026 09:75:00 +0900",  // minute 75
                           "Mon, 7 Dec 2026 24:00:00 +0900", "Mon, 7 Dec 2026 09:30:60 +0900",
                           "Mon, 0 Dec 2026 09:30:00 +0900", "Mon, 32 Dec 2026 09:30:00 +0900",
                           "Mon, 7 Dek 2026 09:30:00 +0900", "Mon, 7 Dec 2039 09:30:00 +0900",
                           "Mon, 7 Dec 1959 09:30:00 +0900", "Mon, 7 Dec 2026 0930 +0900",
                           "Mon, 7 Dec 2026 09 :30 +0900", "7 Dec 2026", "Mon, 7 Dec",
                           "99999999999999999999 Dec 2026 09:30:00", "", "garbage text here"}) {
    EXPECT_EQ(MailDate::tryParse(text, kJapan), std::nullopt) << text;
    EXPECT_EQ(parse(text), kNow) << text;
  }
}

TEST(MailDate, DaysPastTheMonthEndRollOver) {
  EXPECT_EQ(parse("31 Feb 2026 21:00:00 +0900"), 1772539200);  // 3 Mar 2026 12:00 UTC
}

TEST(MailDate, FormatsInTheUsersZone) {
  EXPECT_EQ(MailDate::format(k20261207_0030Utc, kJapan), "Mon, 07 Dec 2026 09:30:00 +0900");
  EXPECT_EQ(MailDate::format(k20261207_0030Utc, -3), "Sun, 06 Dec 2026 21:30:00 -0300");
  EXPECT_EQ(MailDate::format(k20261207_0030Utc, 0), "Mon, 07 Dec 2026 00:30:00 +0000");
  EXPECT_EQ(MailDate::format(-144720000, 0), "Tue, 01 Jun 1965 00:00:00 +0000");
  EXPECT_EQ(MailDate::format(-1, kJapan), "Thu, 01 Jan 1970 08:59:59 +0900");
  EXPECT_EQ(MailDate::format(951782400, 0), "Tue, 29 Feb 2000 00:00:00 +0000");
}

TEST(MailDate, WhatIsWrittenReadsBackTheSame) {
  for (const std::time_t time : {std::time_t{-315532800}, std::time_t{0}, k20020305_1020Utc,
                                 k20261207_0030Utc, std::time_t{2145916799}})
    for (const int zone : {-12, -3, 0, 9, 14})
      EXPECT_EQ(parse(MailDate::format(time, zone), zone), time) << time << " " << zone;
}

}  // namespace
}  // namespace zorvik::message
