/// \file
/// The command line that starts the external editor on a draft's body
/// file. Settings item 102 names the editor; its Windows default
/// ("notepad.exe") and the word "auto" stand for the user's own editor:
/// $VISUAL, else $EDITOR, a terminal editor run inside
/// `x-terminal-emulator -e` when there is one, else `xdg-open`. An empty
/// item means no external editor. Item 106, when set and the caret is
/// known, follows the file with "%y"/"%x" (0-based line and column) and
/// "%Y"/"%X" (1-based) filled in.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zorvik::view {

struct EditorEnvironment {
  std::string visual;    ///< $VISUAL
  std::string editor;    ///< $EDITOR
  bool terminal = false;  ///< x-terminal-emulator can be started
};

struct Caret {
  int line = 0;  ///< 0-based
  int column = 0;
};

class ExternalEditorCommand {
public:
  /// The program and its arguments; empty when there is no editor. Words of
  /// the item and of the variables are split at spaces (double quotes keep
  /// a word together).
  static std::vector<std::string> build(const std::string& item102, const std::string& item106,
                                        const std::string& file, std::optional<Caret> caret,
                                        const EditorEnvironment& environment);
  /// The editor alone, without a file (the main window's "文書エディタ起動");
  /// empty when there is none. xdg-open needs a file: without $VISUAL or
  /// $EDITOR the Windows default names no editor here.
  static std::vector<std::string> program(const std::string& item102, const EditorEnvironment& environment);
  /// Whether item 102 stands for the user's own editor (the Windows
  /// default or "auto") rather than naming one.
  static bool standsForOwnEditor(const std::string& item102);
  /// Whether `program` (a path or name) is an editor that needs a terminal.
  static bool needsTerminal(const std::string& program);
  static std::vector<std::string> words(const std::string& text);
};

}  // namespace zorvik::view
