#pragma once
// Whole-file reading and replacing, the way the key and settings files need them.

#include <cstdint>
#include <string>
#include <string_view>

namespace kavo::platform {

// The system's own error code of a failed call (errno, or GetLastError on Windows); 0 is none.
using ErrorCode = int;

// The most a file may hold to be read: far above any key or settings file a person writes, and
// far below what would exhaust memory.
inline constexpr std::uint64_t kMaxReadBytes = 64ull << 20;

// Reads the whole file, letting others read it meanwhile but not write it. Only a regular file
// is read, without ever waiting to open it; a bigger one than kMaxReadBytes is refused.
ErrorCode ReadWholeFile(std::u16string_view path, std::string& bytes);

// True when a file, not a folder, exists at path.
bool IsExistingFile(std::u16string_view path);

// The path made absolute, without asking the file system whether it exists.
std::u16string FullPath(std::u16string_view path);

// The folder's path ending in a separator, as the program keeps folders.
std::u16string WithSeparator(std::u16string folder);

// The folder for this user's settings of the program, ending in a separator:
// $XDG_CONFIG_HOME/kavo/, or ~/.config/kavo/ when the variable is unset or not absolute;
// %APPDATA%\Kavo\ on Windows. Not created here.
std::u16string UserConfigFolder();

// True when the folder exists and this user may create files in it.
bool IsWritableFolder(std::u16string_view folder);

// Creates the folder and the parents it lacks, each readable by this user only; 0 when the
// folder exists afterwards.
ErrorCode CreateFolders(std::u16string_view folder);

// The system's description of an error code, untrimmed.
std::u16string ErrorText(ErrorCode code);

enum class SaveStage { Done, Create, Write };

struct SaveResult {
  SaveStage stage = SaveStage::Done;
  ErrorCode code = 0;
};

// Replaces the file at path with bytes so that a failure never leaves it cut short: the bytes go
// to a new file beside it, which replaces the old one only once all of them are written. A
// read-only target is refused (Create) and left untouched; a failure while writing is Write.
// A symbolic link stays a link: the file it points to is written, created if it is missing; a
// loop of links is refused (Create). New files that earlier saves of ended processes left beside
// the target are removed first.
SaveResult ReplaceWholeFile(std::u16string_view path, std::string_view bytes);

}  // namespace kavo::platform
