#include "ui/button_bar.h"

#include <QScopedValueRollback>
#include <algorithm>

#include "bindings/comma_rule.h"
#include "bindings/key_strokes.h"
#include "ui/deferred.h"
#include "widgets/shadow_layer.h"

namespace kavo {

TButtonBar::TButtonBar(TPressArea* area, TFlowLayout* layout, std::function<const KeyList*()> list)
    : QObject(area), area_(area), layout_(layout), list_(std::move(list)) {
  shadow_ = new TShadowLayer(area_);
  castShadow_ = Deferred(this, [this] { CastShadowNow(); });
  connect(layout_, &TFlowLayout::Flowed, this, [this] {
    AddButtons();
    CastShadow();
    emit Changed();
  });
  SetLook(look_);
}

void TButtonBar::SetLook(const ButtonLook& look) {
  look_ = look;
  layout_->SetHorizontalGap(static_cast<float>(look_.Bgh));
  layout_->SetVerticalGap(static_cast<float>(look_.Bgv));
  ApplyShadow();
}

void TButtonBar::ApplyShadow() {
  shadow_->setVisible(look_.isShadow);
  CastShadow();
}

void TButtonBar::CastShadow() {
  if (!adding_) castShadow_->start();  // once the batch is placed
}

void TButtonBar::CastShadowNow() {
  std::vector<QWidget*> casters;
  if (look_.isShadow) {
    for (TCornerButton* button : Buttons()) casters.push_back(button);
  }
  shadow_->Cast(casters);
}

void TButtonBar::Rebuild() {
  ClearButtons();
  AddButtons();
}

void TButtonBar::AddButton() {
  std::u16string line = list_()->Line(Bno);
  const std::vector<std::u16string> fields = SplitFields(line);
  if (!holder_) holder_ = NewButtonHolder();
  auto* button = new TCornerButton(holder_);
  button->resize(std::clamp(look_.Btw, 0, kMaxButtonSide),
                 std::clamp(look_.Bth, 0, kMaxButtonSide));
  button->XRadius = static_cast<float>(look_.Btc);
  button->YRadius = static_cast<float>(look_.Btc);
  connect(button, &QAbstractButton::clicked, this, [this, button] { emit Clicked(button); });
  // An empty line has no caption and sends nothing, but keeps its place in the bar.
  button->setText(fields.empty() ? QString() : QString::fromStdU16String(fields[0]));
  button->Keys = QString::fromStdU16String(ShortcutText(fields));
  button->Tag = Bno;
  button->Binding = std::move(line);
  // Not addWidget, which would make the area the button's parent.
  layout_->addItem(new QWidgetItem(button));
  button->show();
  ++Bno;
}

// The buttons' parent: it covers the button area, draws nothing, and leaves the presses it gets
// between buttons to the area.
QWidget* TButtonBar::NewButtonHolder() {
  auto* holder = new QWidget(area_);
  holder->setGeometry(0, 0, kHolderSide, kHolderSide);
  holder->show();
  return holder;
}

void TButtonBar::ClearButtons() {
  if (!holder_) return;  // nothing built yet (start-up): the shadow is the look's already
  // The re-flow at the end must not build buttons again: the caller does, once it is ready.
  const QScopedValueRollback clearing(adding_, true);
  Bno = 0;
  layout_->BeginUpdate();
  for (int i = layout_->count() - 1; i >= 0; --i) delete layout_->takeAt(i);
  layout_->EndUpdate();
  // The buttons go with their holder: deleted one by one, each would be looked up in the list of
  // its siblings, which made a rebuild grow with the square of the buttons.
  delete holder_;
  holder_ = nullptr;
  // No shadow of the buttons that were.
  shadow_->Cast({});
}

// Buttons for the lines whose places can be seen, each batch placed by a single re-flow. Rows
// past the area's bottom cannot be seen, so a key file of many thousand lines costs only the
// buttons that fit; button i always belongs to line i, and a re-flow that uncovers the place of
// a line not yet built builds it.
void TButtonBar::AddButtons() {
  const KeyList* list = list_();
  if (adding_ || !list) return;  // each batch's re-flow comes back here
  // Lines changed since the buttons were built (the settings window, before Apply) wait for the
  // rebuild that Apply makes: a button must never belong to a line it does not show.
  if (Bno == 0) builtFrom_ = list->Generation();
  if (list->Generation() != builtFrom_) return;
  const QScopedValueRollback adding(adding_, true);
  const auto lastSeen = [this] {
    const int n = layout_->count();
    return n == 0 || !layout_->itemAt(n - 1)->widget()->isHidden();
  };
  while (Bno < list->Count() && lastSeen()) {
    const int batch = std::max(kFirstButtons, Bno);
    layout_->BeginUpdate();
    for (int i = 0; i < batch && Bno < list->Count(); ++i) AddButton();
    layout_->EndUpdate();
  }
}

std::vector<TCornerButton*> TButtonBar::Buttons() const {
  std::vector<TCornerButton*> buttons;
  for (int i = 0; i < layout_->count(); ++i) {
    if (auto* b = qobject_cast<TCornerButton*>(layout_->itemAt(i)->widget())) buttons.push_back(b);
  }
  return buttons;
}

void TButtonBar::ShowHeld(const void* holder) {
  for (TCornerButton* button : Buttons()) button->SetHeld(button == holder);
}

}  // namespace kavo
