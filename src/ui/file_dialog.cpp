#include "ui/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace kavo {
namespace {

TFileDialog::Answer& DialogAnswer() {
  static TFileDialog::Answer answer;
  return answer;
}

}  // namespace

void TFileDialog::SetAnswer(Answer answer) {
  DialogAnswer() = std::move(answer);
}

bool TFileDialog::Execute(QWidget* owner, const QString& folder) {
  std::optional<QString> chosen;
  if (DialogAnswer()) {
    chosen = DialogAnswer()(kind_, FileName, folder);
  } else {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(kind_ == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);  // a typed name need not exist
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (FileName.isEmpty()) {
      dialog.setDirectory(folder);
    } else {
      dialog.selectFile(FileName);
    }
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      chosen = dialog.selectedFiles().first();
    }
  }
  if (!chosen || chosen->isEmpty()) return false;
  FileName = QFileInfo(*chosen).absoluteFilePath();
  return true;
}

}  // namespace kavo
