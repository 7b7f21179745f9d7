#include "ui/question_box.h"

#include <QMessageBox>

namespace kavo {
namespace {

std::function<bool(const QString&)>& Sink() {
  static std::function<bool(const QString&)> sink;
  return sink;
}

}  // namespace

bool AskYesNo(QWidget* parent, const QString& text) {
  if (Sink()) return Sink()(text);
  return QMessageBox::question(parent, QStringLiteral("Kavo"), text,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void SetQuestionSink(std::function<bool(const QString&)> sink) {
  Sink() = std::move(sink);
}

}  // namespace kavo
