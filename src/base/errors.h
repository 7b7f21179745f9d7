#pragma once
// The error kinds users see. Each carries its kind's name and its exact (Japanese) message;
// handlers let them escape to the one guard that shows them.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kavo {

class KavoError : public std::runtime_error {
 public:
  // message is UTF-8.
  KavoError(const char* kind, const std::string& message)
      : std::runtime_error(message), kind_(kind) {}
  const char* Kind() const noexcept { return kind_; }
  std::string Message() const { return what(); }

 private:
  const char* kind_;
};

// A line was read, deleted or moved at an index outside the list.
class EStringListError : public KavoError {
 public:
  explicit EStringListError(std::int64_t index);
};

// A file could not be opened for reading. Both texts are UTF-16.
class EFOpenError : public KavoError {
 public:
  EFOpenError(std::u16string_view fullPath, std::u16string_view systemText);
};

// A UTF-8 body that is not valid UTF-8, or a UTF-16 body of a single byte.
class EEncodingError : public KavoError {
 public:
  EEncodingError();
};

// A file could not be created or replaced.
class EFCreateError : public KavoError {
 public:
  EFCreateError(std::u16string_view fullPath, std::u16string_view systemText);
};

// Writing a file's bytes failed or made no progress.
class EWriteError : public KavoError {
 public:
  EWriteError();
};

// A text that should have been an integer was not.
class EConvertError : public KavoError {
 public:
  explicit EConvertError(std::u16string_view text);
};

// The system's description of a failure, as the file messages quote it: trailing characters
// below code 33 and trailing full stops removed.
std::u16string TrimSystemText(std::u16string_view text);

// The text an error box shows: the message, followed by "." when the code of its last
// character is greater than that of ".".
std::string ErrorBoxText(const KavoError& error);

}  // namespace kavo
