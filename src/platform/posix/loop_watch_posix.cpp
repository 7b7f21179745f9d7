#include <QSocketNotifier>

#include "platform/loop_watch.h"

namespace kavo::platform {
namespace {

class DescriptorWatch final : public LoopWatch {
 public:
  DescriptorWatch(std::intptr_t descriptor, std::function<void()> ready)
      : notifier_(static_cast<qintptr>(descriptor), QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, std::move(ready));
  }

 private:
  QSocketNotifier notifier_;
};

}  // namespace

std::unique_ptr<LoopWatch> WatchInLoop(std::intptr_t waitable, std::function<void()> ready) {
  return std::make_unique<DescriptorWatch>(waitable, std::move(ready));
}

}  // namespace kavo::platform
