/// \file
/// The five ways of telling the user something: question, information, error,
/// fatal error and bug. Every message is known by its number R (40000-44999,
/// the number every part of the program quotes), named in MessageNumber; the
/// caption shows R - 40000 so a user can quote "No." of any message.
///
/// Boxes are shown only on the thread that created this object (the owner).
/// Another thread that reports waits until the owner has shown the box and
/// passes the answer back; the owner must call pump() from its loop.
#pragma once

#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>

#include "core/MessageFormat.h"
#include "core/MessageNumber.h"
#include "core/Reporter.h"

namespace zorvik::core {

class Messages {
public:
  /// Longest text a box shows, in bytes of Shift_JIS.
  static constexpr std::size_t kTextLimit = 2000;

  explicit Messages(Reporter& reporter);

  bool question(MessageNumber r, MessageArgs args = {});
  void information(MessageNumber r, MessageArgs args = {});
  void error(MessageNumber r, MessageArgs args = {});
  /// Shows the box with the closing sentence appended, then ends the process
  /// at once (through the terminate handler).
  [[noreturn]] void fatal(MessageNumber r, MessageArgs args = {});
  /// The bug box for an internal fault, with its bug number.
  void bug(int bugNumber);

  /// Shows the boxes other threads are waiting for. Does nothing on any
  /// other thread than the owner's.
  void pump();
  /// Answers "no" to the boxes thread `from` waits for, without showing
  /// them: for an owner that is going away and must wait for that thread.
  void dismiss(std::thread::id from);

  /// Called before an error, fatal or bug box: hangs up a dial-up connection.
  void setHangUp(std::function<void()> hangUp) { hangUp_ = std::move(hangUp); }
  /// What ends the process after a fatal error (tests replace it).
  void setTerminate(std::function<void()> terminate) { terminate_ = std::move(terminate); }

  /// "Zorvik:<kind word>  No.<R - 40000>" (Shift_JIS).
  static std::string caption(MessageKind kind, MessageNumber r);
  /// Message R formatted with `args`, cut to the text limit (Shift_JIS).
  static std::string text(MessageNumber r, MessageArgs args);

private:
  struct Request {
    MessageKind kind = MessageKind::Error;
    std::string caption;
    std::string text;
    std::promise<bool> answer;
    std::thread::id from;
  };

  bool deliver(MessageKind kind, std::string caption, std::string text);

  Reporter& reporter_;
  std::thread::id owner_;
  std::mutex mutex_;
  std::deque<Request> pending_;
  std::function<void()> hangUp_;
  std::function<void()> terminate_;
};

}  // namespace zorvik::core
