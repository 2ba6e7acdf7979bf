#include "core/Messages.h"

#include <cstdlib>

#include "core/MessageTable.h"
#include "platform/TextEncoding.h"

namespace zorvik::core {
namespace {

using platform::sjisLiteral;
constexpr int kFirstMessage = 40000;

const std::string& kindWord(MessageKind kind) {
  switch (kind) {
    case MessageKind::Question: return sjisLiteral("問合せ");
    case MessageKind::Information: return sjisLiteral("情報");
    case MessageKind::Fatal: return sjisLiteral("致命エラー");
    case MessageKind::Error:
    case MessageKind::Bug: break;
  }
  return sjisLiteral("エラー");
}

}  // namespace

Messages::Messages(Reporter& reporter)
    : reporter_(reporter), owner_(std::this_thread::get_id()), terminate_([] { std::exit(1); }) {}

std::string Messages::caption(MessageKind kind, MessageNumber r) {
  return formatMessage("%s:%s  No.%d", {"Zorvik", kindWord(kind), numberOf(r) - kFirstMessage});
}

std::string Messages::text(MessageNumber r, MessageArgs args) {
  const std::string* format = messageText(numberOf(r));
  if (!format) return formatMessage("No.%d", {numberOf(r)});
  return cutSjis(formatMessage(*format, args), kTextLimit);
}

bool Messages::question(MessageNumber r, MessageArgs args) {
  return deliver(MessageKind::Question, caption(MessageKind::Question, r), text(r, args));
}

void Messages::information(MessageNumber r, MessageArgs args) {
  deliver(MessageKind::Information, caption(MessageKind::Information, r), text(r, args));
}

void Messages::error(MessageNumber r, MessageArgs args) {
  if (hangUp_) hangUp_();
  deliver(MessageKind::Error, caption(MessageKind::Error, r), text(r, args));
}

void Messages::fatal(MessageNumber r, MessageArgs args) {
  if (hangUp_) hangUp_();
  const std::string body = text(r, args) + sjisLiteral("\nこれ以上処理を続けることができませんので終了します");
  deliver(MessageKind::Fatal, caption(MessageKind::Fatal, r), body);
  terminate_();
  std::abort();  // a terminate handler that returns is a fault of the caller
}

void Messages::bug(int bugNumber) {
  if (hangUp_) hangUp_();
  const std::string bugCaption = formatMessage(sjisLiteral("%s:バグ"), {"Zorvik"});
  const std::string bugText =
      formatMessage(sjisLiteral("バグ番号 %d のバグです。\n手順をよく思い出して管理者に連絡せよ！"), {bugNumber});
  // The bug box is always shown directly, whatever thread reports it.
  reporter_.show(MessageKind::Bug, bugCaption, bugText);
}

bool Messages::deliver(MessageKind kind, std::string boxCaption, std::string boxText) {
  if (std::this_thread::get_id() == owner_) return reporter_.show(kind, boxCaption, boxText);
  std::future<bool> answer;
  {
    const std::lock_guard lock(mutex_);
    pending_.push_back({kind, std::move(boxCaption), std::move(boxText), {}, std::this_thread::get_id()});
    answer = pending_.back().answer.get_future();
  }
  return answer.get();
}

void Messages::pump() {
  // Workflows that run on a thread of their own pump while they wait for a
  // session, as they would on the owner's thread; their boxes must still
  // be shown by the owner.
  if (std::this_thread::get_id() != owner_) return;
  for (;;) {
    Request request;
    {
      const std::lock_guard lock(mutex_);
      if (pending_.empty()) return;
      request = std::move(pending_.front());
      pending_.pop_front();
    }
    request.answer.set_value(reporter_.show(request.kind, request.caption, request.text));
  }
}

void Messages::dismiss(std::thread::id from) {
  const std::lock_guard lock(mutex_);
  std::erase_if(pending_, [from](Request& request) {
    if (request.from != from) return false;
    request.answer.set_value(false);
    return true;
  });
}

}  // namespace zorvik::core
