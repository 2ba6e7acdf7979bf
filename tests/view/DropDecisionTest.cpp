// What a drag over the tray tree shows and what a drop refuses.
#include <gtest/gtest.h>

#include <vector>

#include "core/MessageNumber.h"
#include "support/MessageNumberPrinter.h"
#include "view/DropDecision.h"

namespace zorvik::view {
namespace {

using Kind = DragItem::Kind;
using Op = DropOperation;

TEST(DropDecision, EffectWhileDragging) {
  const DragKeys none;
  const DragKeys ctrl{true, false, false, false};
  const DragKeys ctrlShift{true, true, false, false};
  const DragKeys alt{false, false, true, false};
  const DragKeys right{false, false, false, true};
  struct Case {
    const char* name;
    DragItem item;
    DropTarget target;
    DragKeys keys;
    Op effect;
  };
  const std::vector<Case> cases = {
      {"mails onto another tray", {Kind::Mails, "A/t1"}, {"A/t2"}, none, Op::Move},
      {"mails with Ctrl", {Kind::Mails, "A/t1"}, {"A/t2"}, ctrl, Op::Copy},
      {"mails with Ctrl+Shift", {Kind::Mails, "A/t1"}, {"A/t2"}, ctrlShift, Op::Link},
      {"mails with Alt", {Kind::Mails, "A/t1"}, {"A/t2"}, alt, Op::Link},
      {"mails with the right button", {Kind::Mails, "A/t1"}, {"A/t2"}, right, Op::AskWithMenu},
      {"mails onto their own tray", {Kind::Mails, "A/t1"}, {"A/t1"}, none, Op::None},
      {"mails onto a cabinet", {Kind::Mails, "A/t1"}, {"A", true}, none, Op::None},
      {"mails into the mail server tray", {Kind::Mails, "A/t1"}, {"srv", false, 1}, none, Op::None},
      {"server copies dragged out", {Kind::Mails, "srv", 1}, {"A/t2"}, none, Op::None},
      {"mails into the trash", {Kind::Mails, "A/t1"}, {"trash", false, 7}, none, Op::Move},
      {"tray onto its own cabinet", {Kind::Tray, "A/t1"}, {"A", true}, none, Op::None},
      {"tray onto another cabinet", {Kind::Tray, "A/t1"}, {"B", true}, ctrl, Op::Move},
      {"tray onto the top cabinet", {Kind::Tray, "A/t1"}, {"", true}, right, Op::AskWithMenu},
      {"tray onto a tray", {Kind::Tray, "A/t1"}, {"B/t"}, none, Op::None},
      {"system tray", {Kind::Tray, "inbox", 2}, {"B", true}, none, Op::None},
      {"cabinet onto itself", {Kind::Cabinet, "A"}, {"A", true}, none, Op::None},
      {"cabinet into its own child", {Kind::Cabinet, "A"}, {"A/B", true}, none, Op::None},
      {"cabinet onto its parent", {Kind::Cabinet, "A/B"}, {"A", true}, none, Op::None},
      {"cabinet onto a name sharing its prefix", {Kind::Cabinet, "A"}, {"AB", true}, none, Op::Move},
      {"cabinet up one level", {Kind::Cabinet, "A/B/C"}, {"A", true}, none, Op::Move},
      {"top cabinet", {Kind::Cabinet, ""}, {"A", true}, none, Op::None},
      {"several items", {Kind::SeveralItems, "A"}, {"B", true}, none, Op::Move},
  };
  for (const Case& c : cases) EXPECT_EQ(dragEffect(c.item, c.target, c.keys), c.effect) << c.name;
}

TEST(DropDecision, RefusalsAtTheDrop) {
  using core::MessageNumber;
  struct Case {
    const char* name;
    DragItem item;
    Op operation;
    std::optional<MessageNumber> refusal;
  };
  const std::vector<Case> cases = {
      {"link mails", {Kind::Mails, "t"}, Op::Link, std::nullopt},
      {"link a link row", {Kind::Mails, "t", 0, true}, Op::Link, MessageNumber::MultipleLinkUnsupported},
      {"move a link row", {Kind::Mails, "t", 0, true}, Op::Move, std::nullopt},
      {"link a tray", {Kind::Tray, "t"}, Op::Link, MessageNumber::LinkOfNonMailUnsupported},
      {"link a cabinet", {Kind::Cabinet, "c"}, Op::Link, MessageNumber::LinkOfNonMailUnsupported},
      {"move several items", {Kind::SeveralItems, "c"}, Op::Move, MessageNumber::MultipleMoveOfNonMailUnsupported},
      {"cancel", {Kind::SeveralItems, "c"}, Op::None, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(dropRefusal(c.item, c.operation), c.refusal) << c.name;
}

}  // namespace
}  // namespace zorvik::view
