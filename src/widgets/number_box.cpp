#include "widgets/number_box.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>

namespace kavo {
namespace {

// "-12", "+7", "30": what counts as a number in the box.
std::optional<long long> Number(const QString& text) {
  static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+$"));
  if (!number.match(text).hasMatch()) return std::nullopt;
  bool ok = false;
  const long long n = text.toLongLong(&ok);
  if (ok) return n;
  return text.startsWith(QLatin1Char('-')) ? -1 : TNumberBox::kMax + 1;  // too long: out of range
}

int Limit(long long n) {
  return static_cast<int>(std::clamp<long long>(n, TNumberBox::kMin, TNumberBox::kMax));
}

}  // namespace

TNumberBox::TNumberBox(QWidget* parent) : QWidget(parent) {
  edit_ = new QLineEdit(this);
  edit_->setAlignment(Qt::AlignCenter);
  // Only digits and signs can be typed; anything else is ignored.
  edit_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9+-]*")), edit_));
  edit_->setCursor(Qt::IBeamCursor);
  edit_->installEventFilter(this);
  down_ = new QToolButton(this);
  down_->setText(QStringLiteral("−"));
  up_ = new QToolButton(this);
  up_->setText(QStringLiteral("+"));
  for (QToolButton* b : {down_, up_}) {
    // Narrow, so that the number between them has room.
    b->setFixedWidth(std::max(14, fontMetrics().horizontalAdvance(QStringLiteral("+")) + 8));
    b->setAutoRepeat(false);  // one step per click
    b->setFocusPolicy(Qt::NoFocus);
  }
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(down_);
  row->addWidget(edit_, 1);
  row->addWidget(up_);
  setFocusProxy(edit_);
  setCursor(Qt::IBeamCursor);
  connect(edit_, &QLineEdit::returnPressed, this, &TNumberBox::Commit);
  connect(edit_, &QLineEdit::editingFinished, this, &TNumberBox::Commit);
  connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
  connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
  SetValue(0);
}

void TNumberBox::SetValue(int value) {
  value_ = Limit(value);
  edit_->setText(QString::number(value_));
}

void TNumberBox::Commit() {
  const QString text = edit_->text();
  if (text.isEmpty()) {
    SetValue(0);
  } else if (const auto n = Number(text)) {
    SetValue(Limit(*n));
  } else {
    SetValue(value_);
  }
}

void TNumberBox::Step(int delta) {
  // From the number as typed, limited only after the step: 250 stepped down gives 100.
  const auto typed = Number(edit_->text());
  const long long from = typed ? std::clamp<long long>(*typed, -kHuge, kHuge) : value_;
  SetValue(Limit(from + delta));
}

int TNumberBox::NeededWidth() const {
  // The widest value, with the edit's frame and margins, between the two buttons.
  const int text = edit_->fontMetrics().horizontalAdvance(QString::number(kMax));
  return text + 14 + down_->width() + up_->width();
}

bool TNumberBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Escape:
        SetValue(value_);
        edit_->selectAll();
        return true;
      case Qt::Key_Up:
        Step(+1);
        return true;
      case Qt::Key_Down:
        Step(-1);
        return true;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// The wheel turns a scrolling page under the pointer; the box changes by it only once the
// user has chosen it.
void TNumberBox::wheelEvent(QWheelEvent* event) {
  if (!edit_->hasFocus()) {
    event->ignore();
    return;
  }
  const int delta = event->angleDelta().y();
  if (delta != 0) Step(delta > 0 ? +1 : -1);
  event->accept();
}

}  // namespace kavo
