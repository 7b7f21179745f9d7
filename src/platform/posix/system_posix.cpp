#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <string>

#include "base/text_codec.h"
#include "platform/system.h"

namespace kavo::platform {

std::u16string ExecutablePath() {
  std::string buffer(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return u"";
  buffer.resize(static_cast<std::size_t>(n));
  return FromUtf8Lossy(buffer);
}

bool HasDesktopSession() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

bool HasSessionRuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime && *runtime;
}

unsigned long UserId() {
  return ::getuid();
}

std::u16string FolderOf(std::u16string_view path) {
  const auto slash = path.find_last_of(u'/');
  return slash == std::u16string_view::npos ? u"./" : std::u16string(path.substr(0, slash + 1));
}

std::u16string SystemDefaultLocaleName() {
  // The locale the user's session asks for, as the C library resolves it.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return FromUtf8Lossy(value);
  }
  const char* current = std::setlocale(LC_MESSAGES, nullptr);
  return FromUtf8Lossy(current ? current : "C");
}

namespace {

int g_closePipe[2] = {-1, -1};
volatile std::sig_atomic_t g_loopListens = 0;

extern "C" void OnCloseSignal(int sig) {
  if (!g_loopListens) {
    // The default action, which ends the program once this handler returns.
    ::signal(sig, SIG_DFL);
    ::raise(sig);
    return;
  }
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_closePipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

int CloseRequestDescriptor() {
  if (g_closePipe[0] >= 0) return g_closePipe[0];
  if (::pipe2(g_closePipe, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
  return g_closePipe[0];
}

void ListenForCloseRequests() {
  g_loopListens = 1;
}

void EndWithin(std::chrono::milliseconds delay) {
  // SIGALRM's default action ends the process.
  ::signal(SIGALRM, SIG_DFL);
  itimerval timer{};
  timer.it_value.tv_sec = static_cast<time_t>(delay.count() / 1000);
  timer.it_value.tv_usec = static_cast<suseconds_t>(delay.count() % 1000 * 1000);
  ::setitimer(ITIMER_REAL, &timer, nullptr);
}

void AcknowledgeCloseRequest() {
  char buffer[64];
  while (::read(g_closePipe[0], buffer, sizeof buffer) > 0) {
  }
}

}  // namespace kavo::platform
