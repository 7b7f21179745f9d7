#pragma once
// A question the user answers with Yes or No, before something is overwritten.

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

namespace kavo {

// True when the user answers Yes; No is the default button.
bool AskYesNo(const QString& text);

// Boxes open above the window the user works in, owner: the active window when the box was
// asked for (the settings window), or none, when the user was on the bar, which never takes the
// focus. Returns the box's answer.
int ExecAbove(QMessageBox& box, QWidget* owner);
// Once a box asked for from the bar is answered, the target has the focus again.
void ReturnFocusAfterBox(QWidget* owner);

// Replaces the question (tests answer it instead of a person). Null restores the real one.
void SetQuestionSink(std::function<bool(const QString& text)> sink);

}  // namespace kavo
