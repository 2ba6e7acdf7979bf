/// \file
/// A front end's start with one personal settings file: the environment
/// check (loading the settings, building a missing store after asking, the
/// first-run flow when there is no usable file), the time zone of the
/// settings, and the recovery of mails a receive left in the new-mail work
/// file, split mails among them joined (see WorkFileIntake).
///
/// The recovery runs only when the store's lock is free: a work file that
/// another process (a cron job's receive) is writing at this moment is
/// that process's business, and asking the user about it would offer to
/// move half a mail.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "core/Messages.h"
#include "mailflow/Document.h"
#include "store/DocumentOpen.h"
#include "store/StartUpPlaces.h"

namespace zorvik::mailflow {

class StartUp {
public:
  /// Opens the document for the settings file at `path`; an empty path, or
  /// one that names no file, runs the first-run flow with `askAccount`.
  /// Empty when the program cannot run (the reason has been shown).
  /// `places` stands in for the program's own directory where relative
  /// paths are resolved and a first start builds the store.
  static std::unique_ptr<Document> open(std::string_view path, core::Messages& messages,
                                        const store::StartUpPlaces& places,
                                        const store::DocumentOpen::AccountDialog& askAccount,
                                        std::function<void()> endProgram = {});
};

}  // namespace zorvik::mailflow
