#include <windows.h>

#include <QWinEventNotifier>

#include "platform/loop_watch.h"

namespace kavo::platform {
namespace {

class EventWatch final : public LoopWatch {
 public:
  EventWatch(std::intptr_t event, std::function<void()> ready)
      : notifier_(reinterpret_cast<HANDLE>(event)) {
    QObject::connect(&notifier_, &QWinEventNotifier::activated, std::move(ready));
  }

 private:
  QWinEventNotifier notifier_;
};

}  // namespace

std::unique_ptr<LoopWatch> WatchInLoop(std::intptr_t waitable, std::function<void()> ready) {
  return std::make_unique<EventWatch>(waitable, std::move(ready));
}

}  // namespace kavo::platform
