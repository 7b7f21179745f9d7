#include "ui/error_guard.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "base/errors.h"
#include "base/text_codec.h"
#include "platform/system.h"
#include "ui/question_box.h"

namespace kavo {
namespace {

std::function<void(const QString&, const QString&)>& Sink() {
  static std::function<void(const QString&, const QString&)> sink;
  return sink;
}

void Show(const QString& caption, const QString& text) {
  QWidget* const owner = QApplication::activeWindow();
  if (Sink()) {
    Sink()(caption, text);
  } else {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    ExecAbove(box, owner);
  }
  ReturnFocusAfterBox(owner);
}

}  // namespace

void SetErrorBoxSink(std::function<void(const QString&, const QString&)> sink) {
  Sink() = std::move(sink);
}

void ShowErrorBox(const QString& text) {
  Show(QStringLiteral("エラー"), text);
}

void RunGuarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const KavoError& error) {
    ShowErrorBox(QString::fromStdString(ErrorBoxText(error)));
  }
}

bool RunGuardedOnConsole(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const KavoError& error) {
    std::fprintf(stderr, "%s: %s\n", ToUtf8(platform::ExecutableFileName()).c_str(),
                 ErrorBoxText(error).c_str());
    return false;
  }
}

void ShowStartupErrorBox(const char* kind, const std::string& message, const void* address) {
  QString text =
      QStringLiteral("%1 がモジュール %2 の %3 で発生しました。\n")
          .arg(
              QString::fromLatin1(kind), QString::fromStdU16String(platform::ExecutableFileName()),
              QStringLiteral("%1")
                  .arg(reinterpret_cast<quintptr>(address), sizeof(void*) * 2, 16, QLatin1Char('0'))
                  .toUpper());
  QString body = QString::fromStdString(message);
  if (!body.endsWith(QLatin1Char('.'))) body += QLatin1Char('.');
  text += body + QLatin1Char('\n');
  std::fprintf(stderr, "%s\n", text.toUtf8().constData());
  Show(QStringLiteral("アプリケーションエラー"), text);
}

}  // namespace kavo
