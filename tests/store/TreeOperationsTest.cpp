#include "store/TreeOperations.h"

#include "OperationFixture.h"
#include "platform/TextEncoding.h"
#include "store/TrayFlags.h"

namespace zorvik::store {
namespace {

using core::MessageNumber;

class TreeOperationsTest : public OperationFixture {
protected:
  TreeOperations tree{store(), settings, messages};
  MailOperations mails{store(), trash};
};

TEST_F(TreeOperationsTest, NewTraysAndCabinetsTakeTheFirstFreeName) {
  ASSERT_TRUE(tree.createCabinet("A"));
  const std::string base = settings.text(core::item::kNewTrayName);
  EXPECT_EQ(tree.newTray("A"), "A/" + base);
  EXPECT_EQ(tree.newTray("A"), "A/" + base + "1");
  // A cabinet of the next name makes the tray skip it.
  ASSERT_TRUE(platform::makeDirectory(topPath("A/" + base + "2")));
  EXPECT_EQ(tree.newTray("A"), "A/" + base + "3");
  EXPECT_EQ(tree.newCabinet(""), settings.text(core::item::kNewCabinetName));
  EXPECT_EQ(tree.newTray("A/" + base), std::nullopt) << "a tray holds no trays";
  EXPECT_EQ(boxes(MessageNumber::NoTrayBelow), 1);
  EXPECT_EQ(tray("A/" + base).properties()->description, "");
  // A name given outright that is taken says so, not "check permissions".
  EXPECT_FALSE(tree.createTray("A/" + base));
  EXPECT_FALSE(tree.createCabinet("A"));
  EXPECT_EQ(boxes(MessageNumber::NameTaken), 2);
  EXPECT_EQ(boxes(MessageNumber::TrayCreateFailed) + boxes(MessageNumber::CabinetCreateFailed), 0);
}

TEST_F(TreeOperationsTest, FreeNameRunsOutAfterNineHundredNinetyNine) {
  ASSERT_TRUE(tree.createCabinet("B"));
  const std::string base = settings.text(core::item::kNewCabinetName);
  platform::makeDirectory(topPath("B/" + base));
  for (int i = 1; i <= 999; ++i) platform::makeDirectory(topPath("B/" + base + std::to_string(i)));
  EXPECT_EQ(tree.newCabinet("B"), std::nullopt);
  EXPECT_EQ(boxes(MessageNumber::CabinetCreateFailed), 1);
}

TEST_F(TreeOperationsTest, CabinetDeletionRules) {
  ASSERT_TRUE(tree.createCabinet("Holds"));
  ASSERT_TRUE(tree.createTray("Holds/Tray"));
  EXPECT_FALSE(tree.remove("Holds"));
  EXPECT_EQ(boxes(MessageNumber::CabinetHoldsTrays), 1);
  ASSERT_TRUE(tree.createCabinet("Outer"));
  ASSERT_TRUE(tree.createCabinet("Outer/Inner"));
  platform::writeFileAtomically(topPath("Outer/note.txt"), "x");
  EXPECT_FALSE(tree.remove("Outer"));
  EXPECT_EQ(boxes(MessageNumber::CabinetHoldsCabinets), 1);
  EXPECT_TRUE(platform::isDirectory(topPath("Outer/Inner")));
  EXPECT_TRUE(tree.remove("Outer/Inner"));
  EXPECT_TRUE(tree.remove("Outer"));
  EXPECT_FALSE(platform::pathExists(topPath("Outer")));
  reporter.setAnswer(false);
  EXPECT_FALSE(tree.remove("Holds/Tray")) << "a no to the question deletes nothing";
  EXPECT_TRUE(tray("Holds/Tray").exists());
}

// Deleting a tray, or all its mails, never erases mail: the mails go to the
// trash as the delete command sends them, and only in the trash itself are
// they deleted for good. What happened is there for the command to say.
TEST_F(TreeOperationsTest, DeletingATrayOrAllItsMailsPutsTheMailsInTheTrash) {
  ASSERT_TRUE(tree.createTray("Plain"));
  appendWithAttachment(tray("Plain"), "photo", "1261207.000");
  builder.append(tray("Plain"), "kept?");
  ASSERT_EQ(tray("Plain").properties()->flags, trayflag::kNewTrayDefault);
  EXPECT_TRUE(tree.remove("Plain"));
  EXPECT_EQ(boxes(MessageNumber::DeleteAllMails), 1) << "the question offers to delete the mails only";
  EXPECT_TRUE(tray("Plain").exists());
  EXPECT_EQ(live("Plain"), 0);
  EXPECT_EQ(subjects(trash), (std::vector<std::string>{"photo", "kept?"}));
  EXPECT_TRUE(platform::isDirectory(incPath("1261207.000"))) << "the mail in the trash still shows its files";
  EXPECT_EQ(tree.lastTrayRemoval(), (TrayRemoval{"Plain", 2, false, false}));

  builder.append(tray("Plain"), "second");
  auto properties = *tray("Plain").properties();
  properties.flags |= trayflag::kDeleteTray;
  ASSERT_TRUE(tray("Plain").rewriteProperties(properties));
  EXPECT_TRUE(tree.remove("Plain"));
  EXPECT_EQ(boxes(MessageNumber::DeleteTrayAndMails), 1);
  EXPECT_FALSE(platform::pathExists(tray("Plain").path(filetype::kIndex)));
  EXPECT_FALSE(platform::pathExists(tray("Plain").path(filetype::kText)));
  EXPECT_EQ(subjects(trash), (std::vector<std::string>{"photo", "kept?", "second"}));
  EXPECT_EQ(tree.lastTrayRemoval(), (TrayRemoval{"Plain", 1, false, true}));

  auto trashProperties = *tray(trash).properties();
  trashProperties.flags |= trayflag::kDeleteMails;
  ASSERT_TRUE(tray(trash).rewriteProperties(trashProperties));
  EXPECT_TRUE(tree.remove(trash));
  EXPECT_EQ(live(trash), 0);
  EXPECT_FALSE(platform::pathExists(incPath("1261207.000"))) << "deleted for good in the trash";
  EXPECT_EQ(tree.lastTrayRemoval(), (TrayRemoval{trash, 3, true, false}));

  properties.flags &= ~(trayflag::kDeleteTray | trayflag::kDeleteMails);
  ASSERT_TRUE(tree.createTray("Locked"));
  ASSERT_TRUE(tray("Locked").rewriteProperties(properties));
  EXPECT_FALSE(tree.remove("Locked"));
  EXPECT_EQ(boxes(MessageNumber::NoBulkDelete), 1);
}

TEST_F(TreeOperationsTest, SystemTraysAreNeitherDeletedNorRenamed) {
  const std::string server = settings.text(core::item::kMailServerTray);
  builder.createTray(server);
  auto properties = *tray(server).properties();
  properties.flags |= trayflag::kDeleteTray;
  ASSERT_TRUE(tray(server).rewriteProperties(properties));
  EXPECT_FALSE(tree.remove(server));
  EXPECT_EQ(boxes(MessageNumber::NotDeletable), 1);
  EXPECT_FALSE(tree.rename(trash, "Bin"));
  EXPECT_EQ(boxes(MessageNumber::TreeNotRenamable), 1);
  EXPECT_TRUE(tray(trash).exists());
  EXPECT_FALSE(tree.remove(""));
}

TEST_F(TreeOperationsTest, RenameOntoAnExistingNameIsRefusedAndDestroysNothing) {
  ASSERT_TRUE(tree.createCabinet("A"));
  ASSERT_TRUE(tree.createCabinet("B"));
  ASSERT_TRUE(tree.createTray("A/T"));
  ASSERT_TRUE(tree.createTray("A/U"));
  builder.append(tray("A/U"), "in U");
  EXPECT_FALSE(tree.rename("A", "B")) << "B is empty, and a plain rename would have replaced it";
  EXPECT_EQ(boxes(MessageNumber::TreeCabinetRenameFailed), 1);
  EXPECT_TRUE(tray("A/T").exists());
  EXPECT_FALSE(tree.rename("A/T", "U"));
  EXPECT_EQ(boxes(MessageNumber::TreeTrayRenameFailed), 1);
  EXPECT_EQ(subjects("A/U"), std::vector<std::string>{"in U"});
  EXPECT_FALSE(tree.rename("A/T", "bad/name"));
  EXPECT_EQ(boxes(MessageNumber::ForbiddenNameCharacter), 1);
  EXPECT_FALSE(tree.rename("A/T", ""));
  EXPECT_EQ(boxes(MessageNumber::TreeNameEmpty), 1);
}

TEST_F(TreeOperationsTest, CabinetCannotMoveIntoItselfOrBelowItself) {
  ASSERT_TRUE(tree.createCabinet("A"));
  ASSERT_TRUE(tree.createCabinet("A/B"));
  ASSERT_TRUE(tree.createTray("A/B/T"));
  EXPECT_FALSE(tree.move("A", "A"));
  EXPECT_FALSE(tree.move("A", "A/B"));
  EXPECT_EQ(boxes(MessageNumber::TreeMoveFailed), 2);
  EXPECT_TRUE(tray("A/B/T").exists());
  ASSERT_TRUE(tree.createCabinet("AB"));
  EXPECT_TRUE(tree.move("A", "AB")) << "a name that only begins like the cabinet is another cabinet";
  EXPECT_TRUE(tray("AB/A/B/T").exists());
  ASSERT_TRUE(tree.createCabinet("C"));
  ASSERT_TRUE(tree.createCabinet("C/A"));
  EXPECT_FALSE(tree.move("AB/A", "C")) << "the name is taken there";
  EXPECT_TRUE(tray("AB/A/B/T").exists());
}

TEST_F(TreeOperationsTest, MovedTrayTakesEveryFileOfItsNameAndItsLinks) {
  ASSERT_TRUE(tree.createCabinet("Dest"));
  ASSERT_TRUE(tree.createTray("Src"));
  builder.append(tray("Src"), "mail");
  platform::writeFileAtomically(topPath("Src.xm7"), "props");
  ASSERT_TRUE(tree.createTray("Links"));
  ASSERT_EQ(mails.link("Src", 0, "Links"), LinkResult::Done);
  EXPECT_TRUE(tree.move("Src", "Dest"));
  EXPECT_EQ(platform::readFile(topPath("Dest/Src.xm7")), "props");
  EXPECT_FALSE(platform::pathExists(topPath("Src.XM1")));
  EXPECT_FALSE(platform::pathExists(topPath("Src.xm7")));
  TrayRecord link;
  ASSERT_EQ(tray("Links").read(0, link), ReadResult::Live);
  EXPECT_EQ(link.linkTarget, "Dest/Src");
  EXPECT_EQ(link.record.subject(), "mail");
}

TEST_F(TreeOperationsTest, ReadStateOnACabinetAsksOnceAndChangesEveryTrayBelow) {
  ASSERT_TRUE(tree.createCabinet("A"));
  ASSERT_TRUE(tree.createCabinet("A/B"));
  ASSERT_TRUE(tree.createTray("A/T"));
  ASSERT_TRUE(tree.createTray("A/B/U"));
  builder.append(tray("A/T"), "t");
  builder.append(tray("A/B/U"), "u");
  builder.append(tray("A/B/U"), "u2");
  EXPECT_TRUE(tree.setReadState("A", ReadState::Opened));
  EXPECT_EQ(boxes(MessageNumber::ChangeCabinetReadState), 1);
  EXPECT_EQ(reporter.boxes().size(), 1U);
  EXPECT_NE(reporter.boxes()[0].text.find(platform::utf8ToSjis("開封")), std::string::npos);
  EXPECT_EQ(tray("A/T").count(true), 0U);
  EXPECT_EQ(tray("A/B/U").count(true), 0U);
  EXPECT_TRUE(tree.setReadState("A/B/U", ReadState::Unread));
  EXPECT_EQ(boxes(MessageNumber::ChangeTrayReadState), 1);
  EXPECT_EQ(tray("A/B/U").count(true), 2U);
}

TEST_F(TreeOperationsTest, ClearingLinksOfACabinetReleasesThemAll) {
  ASSERT_TRUE(tree.createCabinet("A"));
  ASSERT_TRUE(tree.createTray("A/T"));
  ASSERT_TRUE(tree.createTray("Src"));
  builder.append(tray("Src"), "m");
  ASSERT_EQ(mails.link("Src", 0, "A/T"), LinkResult::Done);
  ASSERT_EQ(mails.link("Src", 0, "A/T"), LinkResult::Done);
  EXPECT_EQ(tree.clearLinks("A"), 2U);
  EXPECT_EQ(boxes(MessageNumber::ClearCabinetLinks), 1);
  EXPECT_EQ(references("Src", 0), 0);
  EXPECT_EQ(live("A/T"), 0);
}

}  // namespace
}  // namespace zorvik::store
