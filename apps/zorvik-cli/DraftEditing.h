/// \file
/// What the compose commands share: opening a draft's text in the user's
/// editor, printing a draft, and the pre-send character check's rows.
///
/// The draft body file is Shift_JIS, which a terminal editor would show as
/// mojibake: the editor gets a UTF-8 copy beside it, and what it saved is
/// read back (as UTF-8, or as Shift_JIS when the editor kept that) into the
/// body file.
#pragma once

#include <string>
#include <vector>

#include "CliCommand.h"
#include "mailflow/DraftFlow.h"

namespace zorvik::cli {

/// Runs $VISUAL (else $EDITOR, else vi) on the text of `draft`'s body file
/// and stores the result back, with the edit map brought up to date (lines
/// the editor left as they were stay loaded, new ones count as typed).
/// False when the editor failed or the file could not be written.
bool editDraft(CliContext& context, mailflow::OpenDraft& draft);

/// Appends the text of the UTF-8 file `path` to the draft's text (after
/// what was prepared): the lines the user wrote. False when it cannot be read.
bool appendBodyFile(CliContext& context, mailflow::OpenDraft& draft, const std::string& path);

/// Prints the draft: its header values, an empty line, its text.
void printDraft(CliContext& context, const mailflow::OpenDraft& draft);

/// Prints one row per character of the subject and text that will not
/// arrive as written: line, column, the character, what happens to it.
void printCharacterCheck(CliContext& context, const std::string& subject, const std::string& text);

}  // namespace zorvik::cli
