#include "ui/desktop_watch.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>

#include "platform/desktop.h"
#include "platform/system.h"
#include "ui/deferred.h"
#include "ui/error_guard.h"

namespace kavo {

void WatchDesktopNews(QObject* owner, platform::EventSource& events) {
  auto* notifier = new QSocketNotifier(events.Descriptor(), QSocketNotifier::Read, owner);
  QObject::connect(notifier, &QSocketNotifier::activated, owner,
                   Guarded([&events] { events.ProcessEvents(); }));
  // News that a call waiting for a reply read off the connection (a stroke that began while
  // keys went down) leaves nothing to read there: handled before the loop sleeps.
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                   owner, Guarded([&events] {
                     if (events.HasQueuedEvents()) events.ProcessEvents();
                   }));
}

void WatchScreens(QObject* owner, std::function<void()> changed) {
  QTimer* timer = Deferred(owner, std::move(changed));
  const auto follow = [timer](QScreen* screen) {
    QObject::connect(screen, &QScreen::geometryChanged, timer, qOverload<>(&QTimer::start));
    QObject::connect(screen, &QScreen::availableGeometryChanged, timer,
                     qOverload<>(&QTimer::start));
  };
  for (QScreen* screen : QGuiApplication::screens()) follow(screen);
  QObject::connect(qApp, &QGuiApplication::screenAdded, timer, [timer, follow](QScreen* screen) {
    follow(screen);
    timer->start();
  });
  QObject::connect(qApp, &QGuiApplication::screenRemoved, timer, qOverload<>(&QTimer::start));
}

void WatchCloseRequests(QObject* owner, std::function<void()> requested) {
  const int fd = platform::CloseRequestDescriptor();
  if (fd < 0) return;
  auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, owner);
  QObject::connect(notifier, &QSocketNotifier::activated, owner,
                   [requested = std::move(requested)] {
                     platform::AcknowledgeCloseRequest();
                     requested();
                   });
}

}  // namespace kavo
