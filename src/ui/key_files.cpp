#include "ui/key_files.h"

#include "settings/home_folder.h"

namespace kavo {

void TKeyFiles::Start(std::u16string home) {
  home_ = std::move(home);
  keyMenu_ = std::make_unique<KeyList>();
  // Without a key file the bar starts with the four default bindings.
  keyFile_ = home_ + u"KavoKey.txt";
  sets_ = KeySetChoice(home_, keyFile_);
  LoadOrDefaults(*keyMenu_, keyFile_);
}

void TKeyFiles::Save() {
  PrepareHomeFor(home_, keyFile_);
  keyMenu_->SaveToFile(keyFile_);
}

void TKeyFiles::Open(const std::u16string& path) {
  keyMenu_->LoadFromFile(path);
  keyFile_ = path;
  sets_.ChooseBase(path);  // the user's choice is what programs without a set use
}

void TKeyFiles::SaveAs(const std::u16string& path) const {
  keyMenu_->SaveToFile(path);
}

bool TKeyFiles::FollowProgram(const std::u16string& raw) {
  const std::optional<std::u16string> wanted = sets_.ForProgram(raw, keyFile_);
  if (!wanted) return false;
  // A fresh list, so that a set that cannot be read leaves the bar as it is.
  auto list = std::make_unique<KeyList>();
  LoadOrDefaults(*list, *wanted);
  keyMenu_ = std::move(list);
  keyFile_ = *wanted;
  return true;
}

void TKeyFiles::SaveForProgram() {
  const std::u16string path = sets_.SetFileOfProgram();
  PrepareHomeFor(home_, path);
  keyMenu_->SaveToFile(path);
  keyFile_ = path;
}

}  // namespace kavo
