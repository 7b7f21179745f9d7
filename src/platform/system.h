#pragma once
// Facts about the system the program runs on.

#include <chrono>
#include <string>

namespace kavo::platform {

// Full path of the running executable.
std::u16string ExecutablePath();

// The folder of a path, ending in its separator.
std::u16string FolderOf(std::u16string_view path);

// The system's default locale name ("ja-JP", "ja_JP.UTF-8", "en_US.UTF-8", ...).
std::u16string SystemDefaultLocaleName();

// Whether a graphical desktop is there to show windows on (on POSIX, a display named in the
// environment).
bool HasDesktopSession();

// Whether the session has a folder of its own for runtime files (XDG_RUNTIME_DIR on POSIX);
// without one they go to the temporary folder, named after the user.
bool HasSessionRuntimeFolder();

// The id of the user running the program (0 where there is none to tell).
unsigned long UserId();

// The file name of the running executable, for messages.
std::u16string ExecutableFileName();

// A descriptor that becomes readable when the session asks the program to end (SIGTERM,
// SIGINT, SIGHUP); -1 where there is none. Until ListenForCloseRequests, such a request ends the
// program at once, as if nothing had been set up: before the event loop runs nobody would read
// the descriptor, and a start-up stuck on a slow file must still end when asked.
int CloseRequestDescriptor();

// From now on the event loop reads the requests from the descriptor.
void ListenForCloseRequests();

// Ends the program by force if it is still running after this long.
void EndWithin(std::chrono::milliseconds delay);

// Consumes the pending requests on that descriptor.
void AcknowledgeCloseRequest();

}  // namespace kavo::platform
