#pragma once
// The one place where errors are caught: at the edge of every event handler, and at start-up.
// Handlers let errors escape; no exception may cross the toolkit's own frames.

#include <QString>
#include <functional>
#include <string>
#include <utility>

namespace kavo {

// Runs a handler; an error it raises is shown in the error box and the event loop goes on.
void RunGuarded(const std::function<void()>& handler);

// Runs a handler where no box may be shown (the session is ending): an error it raises is
// printed on standard error as the box would show it. False when there was one.
bool RunGuardedOnConsole(const std::function<void()>& handler);

// A handler wrapped by RunGuarded, for connecting to a signal (its arguments unused).
template <typename Handler>
auto Guarded(Handler handler) {
  return [handler = std::move(handler)] { RunGuarded(handler); };
}

// Shows the error box: captioned "エラー", the error icon, one OK button.
void ShowErrorBox(const QString& text);

// The box for a failure while starting: captioned "アプリケーションエラー".
void ShowStartupErrorBox(const char* kind, const std::string& message, const void* address);

// Replaces the boxes (tests answer them instead of a person). Null restores the real ones.
void SetErrorBoxSink(std::function<void(const QString& caption, const QString& text)> sink);

}  // namespace kavo
