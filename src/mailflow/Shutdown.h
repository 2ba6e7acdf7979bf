/// \file
/// What a front end does with its document at exit: the trash is emptied
/// when the settings ask for it (item 209: every mail marked deleted and
/// the tray compacted), and the work folder is cleared of the temporary
/// files of composing and sending ("*.tmp", "*.txt", everything in "ed").
/// The new-mail work file is not touched: mails in it wait for the next
/// start. The trash is left alone while another process works in the
/// store (it may be moving mails into it).
#pragma once

namespace zorvik::mailflow {

class Document;

class Shutdown {
public:
  static void run(const Document& document);

  /// The clean-up of the work folder alone.
  static void clearWorkFolder(const Document& document);
};

}  // namespace zorvik::mailflow
