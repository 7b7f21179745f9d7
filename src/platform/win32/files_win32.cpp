#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "platform/files.h"
#include "platform/win32/wide.h"

namespace kavo::platform {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool Close() {
    const bool ok = CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

std::wstring TempNameBeside(const std::wstring& target) {
  static std::minstd_rand rng(std::random_device{}());
  return target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(rng()) +
         L".tmp";
}

// The process that wrote name, when name is a new file that a save of base made
// (base "." pid "-" number ".tmp").
std::optional<DWORD> TempFileWriter(std::wstring_view name, std::wstring_view base) {
  const std::wstring prefix = std::wstring(base) + L".";
  if (name.size() <= prefix.size() + 4 || _wcsnicmp(name.data(), prefix.data(), prefix.size()) ||
      _wcsicmp(name.data() + name.size() - 4, L".tmp")) {
    return std::nullopt;
  }
  const std::wstring_view middle = name.substr(prefix.size(), name.size() - prefix.size() - 4);
  const auto dash = middle.find(L'-');
  if (dash == std::wstring_view::npos || dash == 0 || dash + 1 == middle.size()) {
    return std::nullopt;
  }
  const auto digits = [](std::wstring_view t) {
    return std::all_of(t.begin(), t.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
  };
  if (!digits(middle.substr(0, dash)) || !digits(middle.substr(dash + 1)) || dash > 10) {
    return std::nullopt;
  }
  const unsigned long long pid = std::stoull(std::wstring(middle.substr(0, dash)));
  if (pid == 0 || pid > MAXDWORD) return std::nullopt;
  return static_cast<DWORD>(pid);
}

bool ProcessHasEnded(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

// A save killed before its rename leaves its new file behind; nothing else would ever remove
// it. Files of live processes (saving right now) and of this one are left alone.
void RemoveStaleTempFiles(const std::wstring& target) {
  const auto slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
  const std::wstring base = target.substr(folder.size());
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((target + L".*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
      continue;
    const auto writer = TempFileWriter(found.cFileName, base);
    if (!writer || *writer == GetCurrentProcessId() || !ProcessHasEnded(*writer)) continue;
    DeleteFileW((folder + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

ErrorCode ReadWholeFile(std::u16string_view path, std::string& bytes) {
  // Others may read the file meanwhile, but not write it.
  Handle file(CreateFileW(win32::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return static_cast<ErrorCode>(GetLastError());
  // A pipe or a device (CON, NUL) is no text file, and may never end.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return ERROR_NOT_SUPPORTED;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return static_cast<ErrorCode>(GetLastError());
  if (static_cast<std::uint64_t>(size.QuadPart) > kMaxReadBytes) return ERROR_FILE_TOO_LARGE;
  std::string data(static_cast<std::size_t>(size.QuadPart) + 1, '\0');
  std::size_t used = 0;
  while (true) {
    if (used == data.size()) {
      // The file grew while it was read; it still may not pass the bound.
      if (used > kMaxReadBytes) return ERROR_FILE_TOO_LARGE;
      data.resize(std::min<std::size_t>(data.size() * 2, kMaxReadBytes + 1));
    }
    DWORD read = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - used, 1u << 30));
    if (!ReadFile(file.get(), data.data() + used, chunk, &read, nullptr)) {
      return static_cast<ErrorCode>(GetLastError());
    }
    if (read == 0) break;
    used += read;
  }
  if (used > kMaxReadBytes) return ERROR_FILE_TOO_LARGE;
  data.resize(used);
  bytes = std::move(data);
  return 0;
}

bool IsExistingFile(std::u16string_view path) {
  const DWORD attributes = GetFileAttributesW(win32::Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string FullPath(std::u16string_view path) {
  const std::wstring wide = win32::Wide(path);
  const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return std::u16string(path);
  std::wstring full(n, L'\0');
  const DWORD written = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  full.resize(written);
  return win32::Narrow(full);
}

std::u16string WithSeparator(std::u16string folder) {
  if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
  return folder;
}

std::u16string UserConfigFolder() {
  std::wstring base(MAX_PATH, L'\0');
  const DWORD n = GetEnvironmentVariableW(L"APPDATA", base.data(), MAX_PATH);
  base.resize(n < MAX_PATH ? n : 0);
  if (base.empty()) base = L".";
  while (!base.empty() && (base.back() == L'\\' || base.back() == L'/')) base.pop_back();
  return win32::Narrow(base + L"\\Kavo\\");
}

bool IsWritableFolder(std::u16string_view folder) {
  const std::wstring path = win32::Wide(folder);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  // A folder's write permission is an ACL: ask by creating a file there.
  std::wstring probe = path;
  if (!probe.empty() && probe.back() != L'\\' && probe.back() != L'/') probe += L'\\';
  probe += L".kavo-write-test-" + std::to_wstring(GetCurrentProcessId());
  const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

ErrorCode CreateFolders(std::u16string_view folder) {
  const std::wstring path = win32::Wide(folder);
  // Parents that exist, or cannot be made (a drive, a share's server), are met on the way; what
  // counts is whether the folder exists at the end.
  DWORD failure = 0;
  for (std::size_t end = path.find_first_of(L"\\/");; end = path.find_first_of(L"\\/", end + 1)) {
    const std::wstring part = path.substr(0, end);
    if (!part.empty() && !CreateDirectoryW(part.c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
      failure = GetLastError();
    }
    if (end == std::wstring::npos) break;
  }
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
  return static_cast<ErrorCode>(failure ? failure : ERROR_PATH_NOT_FOUND);
}

std::u16string ErrorText(ErrorCode code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string result = n && text ? win32::Narrow(std::wstring_view(text, n)) : u"";
  if (text) LocalFree(text);
  return result;
}

// Writes bytes over the file's own content, for a file that may be written in a folder where no
// file may be created. Space for the new content is taken first, so that the disk cannot run
// full half-way; a write that fails all the same puts the old content back as far as it can.
static SaveResult RewriteInPlace(const std::wstring& target, std::string_view bytes) {
  Handle file(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return {SaveStage::Create, static_cast<ErrorCode>(GetLastError())};
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) {
    return {SaveStage::Create, static_cast<ErrorCode>(GetLastError())};
  }
  if (static_cast<std::uint64_t>(size.QuadPart) > kMaxReadBytes) {
    return {SaveStage::Create, ERROR_FILE_TOO_LARGE};
  }
  std::string old(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!old.empty() &&
      !ReadFile(file.get(), old.data(), static_cast<DWORD>(old.size()), &read, nullptr)) {
    return {SaveStage::Create, static_cast<ErrorCode>(GetLastError())};
  }
  old.resize(read);
  const auto writeAll = [&](std::string_view content) -> DWORD {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(content.size());
    // Extending first takes the space; truncating last drops what the old content had more.
    if (content.size() > old.size() &&
        (!SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()))) {
      return GetLastError();
    }
    if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return GetLastError();
    std::size_t done = 0;
    while (done < content.size()) {
      const DWORD chunk =
          static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 30));
      DWORD written = 0;
      if (!WriteFile(file.get(), content.data() + done, chunk, &written, nullptr)) {
        return GetLastError();
      }
      if (written == 0) return ERROR_DISK_FULL;
      done += written;
    }
    if (!SetEndOfFile(file.get()) || !FlushFileBuffers(file.get())) return GetLastError();
    return 0;
  };
  if (const DWORD code = writeAll(bytes)) {
    writeAll(old);
    return {SaveStage::Write, static_cast<ErrorCode>(code)};
  }
  return {};
}

SaveResult ReplaceWholeFile(std::u16string_view path, std::string_view bytes) {
  const std::wstring target = win32::Wide(path);
  RemoveStaleTempFiles(target);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists) {
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
      return {SaveStage::Create, ERROR_ACCESS_DENIED};
    }
    // A file another program holds open cannot be replaced: find out before writing anything.
    Handle probe(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) return {SaveStage::Create, static_cast<ErrorCode>(GetLastError())};
  }

  // The new content goes to a file of its own beside the target, shared with no one.
  std::wstring temp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 16 && created == INVALID_HANDLE_VALUE; ++attempt) {
    temp = TempNameBeside(target);
    created = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
      const DWORD code = GetLastError();
      // No new file in this folder, yet the file itself may be written: rewritten in place.
      if (exists && code == ERROR_ACCESS_DENIED) {
        const SaveResult inPlace = RewriteInPlace(target, bytes);
        return inPlace.stage == SaveStage::Create
                   ? SaveResult{SaveStage::Create, static_cast<ErrorCode>(code)}
                   : inPlace;
      }
      return {SaveStage::Create, static_cast<ErrorCode>(code)};
    }
  }
  if (created == INVALID_HANDLE_VALUE) return {SaveStage::Create, ERROR_FILE_EXISTS};
  Handle file(created);

  auto fail = [&](SaveStage stage, DWORD code) {
    file.Close();
    DeleteFileW(temp.c_str());
    return SaveResult{stage, static_cast<ErrorCode>(code)};
  };
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr)) {
      return fail(SaveStage::Write, GetLastError());
    }
    if (written == 0) return fail(SaveStage::Write, ERROR_DISK_FULL);
    done += written;
  }
  if (!FlushFileBuffers(file.get())) return fail(SaveStage::Write, GetLastError());
  if (!file.Close()) {
    const DWORD code = GetLastError();
    DeleteFileW(temp.c_str());
    return {SaveStage::Write, static_cast<ErrorCode>(code)};
  }
  if (!MoveFileExW(temp.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD code = GetLastError();
    DeleteFileW(temp.c_str());
    return {SaveStage::Create, static_cast<ErrorCode>(code)};
  }
  return {};
}

}  // namespace kavo::platform
