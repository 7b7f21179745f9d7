// A Wayland window for the end-to-end tests: writes each key event it receives to a log, one line
// per event ("press Control_L", "release z"), and pointer buttons as "button press 1", flushed
// at once. The toolkit's own repeats of a key held down are left out. With "stamps", each line
// ends in the monotonic clock's nanoseconds when the event was handled (for the benchmarks).
//
//   kavo_wayland_key_target TITLE LOGFILE APP_ID [stamps]

#include <xkbcommon/xkbcommon.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

class Recorder : public QWidget {
 public:
  Recorder(QFile& log, bool stamps) : log_(log), stamps_(stamps) {
    setFocusPolicy(Qt::StrongFocus);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override { Key("press", event); }
  void keyReleaseEvent(QKeyEvent* event) override { Key("release", event); }
  void mousePressEvent(QMouseEvent* event) override { Button("press", event); }
  void mouseReleaseEvent(QMouseEvent* event) override { Button("release", event); }

 private:
  void Key(const char* what, QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    char name[64] = "NoSymbol";
    xkb_keysym_get_name(event->nativeVirtualKey(), name, sizeof name);
    Write(QByteArray(what) + ' ' + name);
  }
  void Button(const char* what, QMouseEvent* event) {
    const int number = event->button() == Qt::LeftButton     ? 1
                       : event->button() == Qt::MiddleButton ? 2
                                                             : 3;
    Write(QByteArray("button ") + what + ' ' + QByteArray::number(number));
  }
  void Write(QByteArray line) {
    if (stamps_) {
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      line +=
          ' ' + QByteArray::number(static_cast<qint64>(now.tv_sec) * 1'000'000'000 + now.tv_nsec);
    }
    log_.write(line + '\n');
    log_.flush();
  }

  QFile& log_;
  bool stamps_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s TITLE LOGFILE APP_ID [stamps]\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(QString::fromUtf8(argv[3]));
  QFile log(QString::fromLocal8Bit(argv[2]));
  if (!log.open(QIODevice::Append)) return 1;
  Recorder window(log, argc > 4 && std::strcmp(argv[4], "stamps") == 0);
  window.setWindowTitle(QString::fromUtf8(argv[1]));
  window.resize(400, 300);
  window.show();
  return app.exec();
}
