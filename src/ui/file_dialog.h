#pragma once
// A file dialog of the system that remembers the path chosen last and opens with it.

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace kavo {

class TFileDialog {
 public:
  enum class Kind { Open, Save };
  explicit TFileDialog(Kind kind) : kind_(kind) {}

  // Shows the dialog; true when the user chose a path, which FileName then holds. The open
  // dialog accepts a name of a file that does not exist; the save dialog replaces without asking
  // and adds no extension. Until a path has been chosen the dialog opens in folder.
  bool Execute(QWidget* owner, const QString& folder);
  QString FileName;

  // Answers the dialogs instead of a person (tests): given the kind, the path in the name field
  // and the folder shown, the chosen path or nothing for cancel. Null restores the real dialogs.
  using Answer =
      std::function<std::optional<QString>(Kind, const QString& initial, const QString& folder)>;
  static void SetAnswer(Answer answer);

 private:
  Kind kind_;
};

}  // namespace kavo
