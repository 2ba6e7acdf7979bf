// A stand-in for a user's editor, started by the compose window's tests on
// a virtual X screen: `zorvik_fake_editor --title=TEXT FILE [options]`
// shows one window titled TEXT ("%f" the file's name, "%p" its full path).
// Alt+F then S, or Ctrl+S, "saves": a line is appended to FILE. A
// terminate request ends it like any program.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>

namespace {

class FakeEditor : public QLabel {
public:
  explicit FakeEditor(QString file) : QLabel(file), file_(std::move(file)) {
    setFocusPolicy(Qt::StrongFocus);
    resize(320, 120);
  }

protected:
  void keyPressEvent(QKeyEvent* event) override {
    const bool menu = event->key() == Qt::Key_F && (event->modifiers() & Qt::AltModifier);
    const bool save = (fileMenuOpen_ && event->key() == Qt::Key_S) ||
                      (event->key() == Qt::Key_S && (event->modifiers() & Qt::ControlModifier));
    if (event->key() != Qt::Key_Alt) fileMenuOpen_ = menu;
    if (!save) return;
    QFile out(file_);
    if (out.open(QIODevice::Append)) out.write("saved by the fake editor\n");
  }

private:
  QString file_;
  bool fileMenuOpen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  // The tests' own program runs offscreen; this window belongs on the X screen.
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  QString title, file;
  for (const QString& argument : app.arguments().mid(1)) {
    if (argument.startsWith("--title=")) title = argument.mid(8);
    else if (file.isEmpty() && !argument.startsWith("-")) file = argument;
  }
  if (file.isEmpty()) return 2;
  FakeEditor editor(file);
  editor.setWindowTitle(title.replace("%f", QFileInfo(file).fileName()).replace("%p", file));
  editor.show();
  return app.exec();
}
