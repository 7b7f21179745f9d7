#include "ui/question_box.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/Unit1.h"

namespace kavo {
namespace {

std::function<bool(const QString&)>& Sink() {
  static std::function<bool(const QString&)> sink;
  return sink;
}

}  // namespace

bool AskYesNo(const QString& text) {
  QWidget* const owner = QApplication::activeWindow();
  bool yes = false;
  if (Sink()) {
    yes = Sink()(text);
  } else {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Kavo"), text,
                    QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    yes = ExecAbove(box, owner) == QMessageBox::Yes;
  }
  ReturnFocusAfterBox(owner);
  return yes;
}

int ExecAbove(QMessageBox& box, QWidget* owner) {
  if (owner) {
    box.setParent(owner, box.windowFlags());  // a dialog of that window, kept above it
  } else {
    box.setWindowFlag(Qt::WindowStaysOnTopHint);  // not under the bar
  }
  return box.exec();
}

void ReturnFocusAfterBox(QWidget* owner) {
  if (!owner && Form1) Form1->ReturnToTarget();
}

void SetQuestionSink(std::function<bool(const QString&)> sink) {
  Sink() = std::move(sink);
}

}  // namespace kavo
