#pragma once
// The bar's settings as Kavo.ini keeps them: one table of sections, keys and defaults, in the
// order they are read and written.

#include <cstdint>

#include "settings/ini_store.h"

namespace kavo {

// [Icon]: the buttons' look, in device-independent pixels, as the settings window edits it.
struct ButtonLook {
  std::int32_t Btw = 50;  // button width
  std::int32_t Bth = 25;  // button height
  std::int32_t Btc = 5;   // button corner radius
  std::int32_t Bgh = 2;   // horizontal gap between buttons
  std::int32_t Bgv = 2;   // vertical gap between buttons
  bool isShadow = true;   // whether the button area casts a shadow

  bool operator==(const ButtonLook&) const = default;
};

struct BarSettings {
  // [Form]: the bar's place in screen pixels, its size in device-independent pixels.
  std::int32_t Top = 100;
  std::int32_t Left = 100;
  std::int32_t Height = 130;
  std::int32_t Width = 250;
  ButtonLook look;
  // [Target]: whether the target follows the window in front (off: it stays until ReAcquire).
  // A section of its own, which copies that do not know it leave alone.
  bool follow = false;

  bool operator==(const BarSettings&) const = default;
};

// Each value from the store, its default where the store has none.
BarSettings ReadBarSettings(TIniStore& ini);
// Every value to the store, in the table's order.
void WriteBarSettings(TIniStore& ini, const BarSettings& settings);

}  // namespace kavo
