#include "ui/Unit2.h"

namespace kavo {

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Tool) {
  Form2 = this;
  setWindowTitle(QStringLiteral("Settings"));
  resize(308, 409);
}

}  // namespace kavo
