#pragma once
// A question the user answers with Yes or No, before something is overwritten.

#include <QString>
#include <functional>

class QWidget;

namespace kavo {

// True when the user answers Yes; No is the default button.
bool AskYesNo(QWidget* parent, const QString& text);

// Replaces the question (tests answer it instead of a person). Null restores the real one.
void SetQuestionSink(std::function<bool(const QString& text)> sink);

}  // namespace kavo
