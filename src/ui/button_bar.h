#pragma once
// The bar's buttons: one per line of the key list, in a flow layout over the button area, built
// lazily (only the lines whose places can be seen, more as a larger bar uncovers them) and in
// the look the settings give them.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <vector>

#include "bindings/key_list.h"
#include "settings/bar_settings.h"
#include "widgets/corner_button.h"
#include "widgets/flow_layout.h"
#include "widgets/press_area.h"

namespace kavo {

class TShadowLayer;

class TButtonBar : public QObject {
  Q_OBJECT
 public:
  // Builds into the area through its layout; list gives the key list in use (null while there
  // is none).
  TButtonBar(TPressArea* area, TFlowLayout* layout, std::function<const KeyList*()> list);

  // Sizes a button may take: larger values are capped so the shadow's image stays small.
  static constexpr int kMaxButtonSide = 4096;

  const ButtonLook& Look() const { return look_; }
  // The gaps and the shadow change at once; sizes and corners at the next Rebuild.
  void SetLook(const ButtonLook& look);

  // Drops every button and builds them anew from the list.
  void Rebuild();
  // The buttons in order: button i belongs to line i.
  std::vector<TCornerButton*> Buttons() const;
  // Buttons built since the last rebuild: the index of the next one.
  std::int32_t Built() const { return Bno; }
  // The button holding keys looks pressed, the others not.
  void ShowHeld(const void* holder);

 signals:
  void Clicked(TCornerButton* button);
  // The buttons moved or changed: what the window covers follows.
  void Changed();

 private:
  void AddButton();
  // Builds buttons for the lines not built yet whose places can be seen.
  void AddButtons();
  void ClearButtons();
  QWidget* NewButtonHolder();
  void ApplyShadow();
  // The shadow follows the buttons, once the event loop turns: re-flows in a row (a resize drag)
  // make one, and the window's first showing does not wait for it.
  void CastShadow();
  void CastShadowNow();

  TPressArea* area_;
  TFlowLayout* layout_;
  std::function<const KeyList*()> list_;
  ButtonLook look_;
  // The buttons' shadow, under them in the area, while the look has one.
  TShadowLayer* shadow_ = nullptr;
  QTimer* castShadow_ = nullptr;
  // The buttons' parent inside the area.
  QWidget* holder_ = nullptr;
  std::int32_t Bno = 0;
  // The key list's generation the buttons were built from.
  std::uint64_t builtFrom_ = 0;
  bool adding_ = false;
  // Buttons built before the first re-flow shows how many fit; any key file this short is built
  // whole.
  static constexpr int kFirstButtons = 16;
  // The holder covers the largest area a bar can have.
  static constexpr int kHolderSide = 4096;
};

}  // namespace kavo
