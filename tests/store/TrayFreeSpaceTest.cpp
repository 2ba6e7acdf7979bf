#include <gtest/gtest.h>

#include "core/Messages.h"
#include "store/FreeSpaceCheck.h"
#include "store/TrayFile.h"
#include "support/RecordingReporter.h"
#include "support/TrayBuilder.h"

namespace zorvik::store {
namespace {

TEST(TrayFreeSpaceTest, FullDiskAsksUntilThereIsRoomOrTheUserEnds) {
  test::RecordingReporter reporter(true);
  core::Messages messages(reporter);
  int probes = 0;
  bool ended = false;
  const FreeSpaceCheck check(messages, [&] { ended = true; }, [&](std::string_view) {
    return std::optional<std::uint64_t>(++probes < 3 ? 9999 : 10000);
  });
  EXPECT_TRUE(check("/store/Top/Inbox.XM1"));
  EXPECT_EQ(reporter.boxes().size(), 2U) << "asked again after each continue";
  EXPECT_EQ(reporter.boxes()[0].kind, core::MessageKind::Question);
  EXPECT_FALSE(ended);

  test::RecordingReporter no(false);
  core::Messages refusing(no);
  const FreeSpaceCheck full(refusing, [&] { ended = true; },
                            [](std::string_view) { return std::optional<std::uint64_t>(0); });
  EXPECT_FALSE(full("/x"));
  EXPECT_TRUE(ended);
}

TEST(TrayFreeSpaceTest, RefusedCheckWritesNothingIntoTheTray) {
  test::TrayBuilder builder;
  const TrayFile tray = builder.createTray("Inbox");
  builder.append(tray, "kept");
  const std::string index = test::TrayBuilder::bytes(tray.path(filetype::kIndex));
  StoreLocation full = builder.store();
  full.writeCheck = [](std::string_view) { return false; };
  const TrayFile guarded(full, "Inbox");
  EXPECT_FALSE(guarded.appendRecord(IndexRecord{}));
  EXPECT_FALSE(guarded.changeFlags(0, 0x10, true));
  EXPECT_FALSE(guarded.deleteMail(0, false));
  EXPECT_FALSE(guarded.create(TrayProperties{}));
  EXPECT_EQ(test::TrayBuilder::bytes(tray.path(filetype::kIndex)), index);
  TrayRecord out;
  EXPECT_EQ(guarded.read(0, out), ReadResult::Live) << "reading needs no room";
}

}  // namespace
}  // namespace zorvik::store
