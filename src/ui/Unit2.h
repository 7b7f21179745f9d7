#pragma once
// The settings window: edits the bindings and the button look.

#include <QWidget>

namespace kavo {

class TForm2 : public QWidget {
  Q_OBJECT
 public:
  explicit TForm2(QWidget* parent = nullptr);
};

extern TForm2* Form2;

}  // namespace kavo
