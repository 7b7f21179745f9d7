#pragma once
// How the title is drawn and how its tooltip is found, from what the desktop does with the bar's
// window: pure, so that the cases can be tested as a table without a screen.

namespace kavo {

struct TitleLook {
  // Smooth letters wherever their edges can show (blended by a compositor, or the whole window
  // opaque in resize mode); elsewhere whole pixels, which a window cut to what it draws keeps.
  bool smooth = false;
  // The pointer reaches a cut-out window only over a letter's pixels: the title's tooltip then
  // follows the desktop's reports of the pointer's moves.
  bool tipFollowsPointer = false;
};

// shown: the bar is on the screen and not minimised.
constexpr TitleLook TitleLookFor(bool composited, bool resizeMode, bool shown) {
  const bool cutOut = !composited && !resizeMode;
  return {!cutOut, cutOut && shown};
}

}  // namespace kavo
