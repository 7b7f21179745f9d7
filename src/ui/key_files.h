#pragma once
// The bar's commands on key files, without a screen: what start-up loads, what Apply, the open
// and save commands and a program's own set read and write, and which file is in use. The key
// list and the file's path stay the window's fields; this works on them.

#include <memory>
#include <optional>
#include <string>

#include "bindings/key_list.h"
#include "bindings/program_sets.h"

namespace kavo {

class TKeyFiles {
 public:
  // keyMenu and keyFile are the window's key list and the path of the file in use.
  TKeyFiles(std::unique_ptr<KeyList>& keyMenu, std::u16string& keyFile)
      : keyMenu_(keyMenu), keyFile_(keyFile) {}

  // Start-up: a new list from KavoKey.txt in the home folder (ending in its separator), or the
  // four default bindings where that file is missing.
  void Start(std::u16string home);
  // Close: the list is gone.
  void Close() { keyMenu_.reset(); }

  // Apply: the list to the file in use, making the settings folder first where it is missing.
  void Save();
  // OpenKeyBind: the list from the file, which is then in use, also for programs without a set.
  void Open(const std::u16string& path);
  // SaveAsKeyBind: the list to another file; the one in use stays.
  void SaveAs(const std::u16string& path) const;

  // The target's program (its raw name) may have changed: true when its own set (or the base
  // file, leaving a set) is in use now and the buttons must be rebuilt. A set that cannot be
  // read raises its error and leaves the list as it was.
  bool FollowProgram(const std::u16string& raw);
  // The program of the target seen last, by the name rule; empty when it had none.
  const std::u16string& Program() const { return sets_.Program(); }
  // Where that program's own set is written; empty when it has no name.
  std::u16string ProgramSetFile() const { return sets_.SetFileOfProgram(); }
  // SaveKeyBindForApp: the list to the program's own set, which is then in use.
  void SaveForProgram();
  // The file name of the program's set in use, to show beside the title; empty for the base.
  std::u16string SetShown() const { return sets_.SetShown(keyFile_); }

  const std::u16string& Home() const { return home_; }

 private:
  std::unique_ptr<KeyList>& keyMenu_;
  std::u16string& keyFile_;
  std::u16string home_;
  KeySetChoice sets_{{}, {}};
};

}  // namespace kavo
