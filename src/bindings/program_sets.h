#pragma once
// A set of buttons per program: the key file a target's program has of its own.

#include <optional>
#include <string>
#include <string_view>

namespace kavo {

// The program name of a raw name (an X11 class, an executable's name without its extension, a
// Wayland application id): lower-cased, every character other than a-z, 0-9, ".", "_" and "-"
// made "_". Empty when the raw name is.
std::u16string ProgramName(std::u16string_view raw);

// The set's file name for a program: "KavoKey.<program>.txt".
std::u16string SetFileName(std::u16string_view program);

// The key file a target of the program shows: the program's set in the home folder where it
// has one, else base (the key file in use before any set).
std::u16string KeyFileForProgram(std::u16string_view home, std::u16string_view program,
                                 std::u16string_view base);

// Which key file the bar uses as its target changes: the base one (KavoKey.txt, or the file the
// user opened) unless the target's program has a set of its own.
class KeySetChoice {
 public:
  KeySetChoice(std::u16string home, std::u16string base)
      : home_(std::move(home)), base_(std::move(base)) {}

  const std::u16string& Base() const { return base_; }
  // The user opened this key file: it is what programs without a set use from now on.
  void ChooseBase(std::u16string path) { base_ = std::move(path); }

  // The target's program (its raw name) may have changed: the key file to show instead of
  // current, or nullopt when nothing changes (the same program, or the same file).
  std::optional<std::u16string> ForProgram(std::u16string_view raw, std::u16string_view current);
  // The program of the target seen last; empty when it had no name.
  const std::u16string& Program() const { return program_; }
  // Where the last program's own set is written; empty when it has no name.
  std::u16string SetFileOfProgram() const;

  // The file name of a program's set in use, for showing beside the title; empty while the base
  // file is in use.
  std::u16string SetShown(std::u16string_view current) const;

 private:
  std::u16string home_;
  std::u16string base_;
  std::u16string program_;
};

}  // namespace kavo
