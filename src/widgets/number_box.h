#pragma once
// A box for a whole number from 0 to 100 with a decrement and an increment button. Typed text
// becomes the value only when committed (Enter, or leaving the box).

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace kavo {

class TNumberBox : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kMin = 0;
  static constexpr int kMax = 100;

  explicit TNumberBox(QWidget* parent = nullptr);

  int Value() const { return value_; }
  // Limited to 0 to 100; the box shows the value.
  void SetValue(int value);

  // Commits the typed text: empty gives 0, a number becomes the value (limited), anything else
  // leaves the value as it was. The box then shows the value.
  void Commit();
  // Adds delta to the number in the box (the typed text if it is a number, else the value),
  // then limits the result.
  void Step(int delta);

  // The width at which the widest value shows whole.
  int NeededWidth() const;

  QLineEdit* Editor() const { return edit_; }
  QToolButton* DecrementButton() const { return down_; }
  QToolButton* IncrementButton() const { return up_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QLineEdit* edit_;
  QToolButton* down_;
  QToolButton* up_;
  int value_ = 0;
  static constexpr long long kHuge = 1'000'000'000'000;
};

}  // namespace kavo
