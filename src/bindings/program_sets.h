#pragma once
// A set of buttons per program: the key file a target's program has of its own.

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

}  // namespace kavo
