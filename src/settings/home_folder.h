#pragma once
// Which folder holds Kavo.ini and KavoKey.txt.

#include <string>
#include <string_view>

namespace kavo {

// Beside the program's folder (bin/), a file that the install step places: an installed copy.
inline constexpr std::u16string_view kInstalledMarker = u"../share/kavo/installed";

enum class HomeKind {
  Chosen,      // given on the command line
  Portable,    // the program's own folder
  UserConfig,  // the user's config folder
};

struct Home {
  std::u16string folder;  // absolute, ending in a separator
  HomeKind kind;
};

// The folder given on the command line, if any; else the program's own folder, as long as the
// copy is not installed and may write there; else the user's config folder. An installed copy
// never writes into its bin/ folder, not even when run by root.
Home ChooseHome(std::u16string_view requested, std::u16string_view programFolder);

// For a home in the user's config folder: Kavo.ini and KavoKey.txt that lie beside the program
// (a copy in a folder the user cannot write) and that the config folder lacks are copied there
// once, as the starting point of the user's own files; the program's are never changed.
// EFOpenError for one that cannot be read, EFCreateError or EWriteError for a copy that fails.
void SeedHomeFromProgramFolder(const Home& home, std::u16string_view programFolder);

// Before file is written: where it lies in the home folder and that folder is missing (it is
// made at the first save), makes it; EFCreateError for the file, with the folder's reason, when
// that fails.
void PrepareHomeFor(std::u16string_view home, std::u16string_view file);

}  // namespace kavo
