#pragma once
// What the bar hears besides its own windows' events, each delivered from the toolkit's event
// loop: the desktop backend's news, the screens changing, the session asking the program to end.

#include <functional>

class QObject;

namespace kavo {
namespace platform {
class EventSource;
}

// Handles the source's news whenever it has some, while owner lives.
void WatchDesktopNews(QObject* owner, platform::EventSource& events);

// Calls changed once, on the loop's next turn, after screens came, went or changed size.
void WatchScreens(QObject* owner, std::function<void()> changed);

// Calls requested when the session asks the program to end (where the system tells).
void WatchCloseRequests(QObject* owner, std::function<void()> requested);

}  // namespace kavo
