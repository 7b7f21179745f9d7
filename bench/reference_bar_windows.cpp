// The toolkit's floor on Windows: a bare frameless, always-on-top window with one button that
// types Ctrl+Z through SendInput, built as the bar is. The Wine benchmark starts it beside the
// bar.

#include <windows.h>

#include <QApplication>
#include <QPushButton>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QPushButton button("Undo");
  button.setWindowTitle("Reference bar");
  button.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                        Qt::WindowDoesNotAcceptFocus);
  button.setGeometry(100, 100, 250, 130);
  QObject::connect(&button, &QPushButton::clicked, [] {
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_CONTROL, 'Z', 'Z', VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
      keys[i].type = INPUT_KEYBOARD;
      keys[i].ki.wVk = codes[i];
      keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, keys, sizeof(INPUT));
  });
  button.show();
  return app.exec();
}
