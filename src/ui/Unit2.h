#pragma once
// The settings window: edits the bar's bindings and the look of its buttons.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>
#include <string>

#include "widgets/number_box.h"

namespace kavo {

class TForm2 : public QWidget {
  Q_OBJECT
 public:
  explicit TForm2(QWidget* parent = nullptr);
  ~TForm2() override;

  // The key names the choosers offer, in order.
  static const std::vector<QString>& KeyNames();

  QWidget* Layout1 = nullptr;
  QWidget* Layout2 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QComboBox* ComboBox2 = nullptr;
  QComboBox* ComboBox3 = nullptr;
  QComboBox* ModeBox = nullptr;  // Tap, Latch, Toggle
  QLineEdit* Edit1 = nullptr;
  QPushButton* AddBtn = nullptr;
  QWidget* Layout3 = nullptr;
  QListWidget* ListBox1 = nullptr;
  QPushButton* ApplyBtn = nullptr;
  QPushButton* DelBtn = nullptr;
  TNumberBox* SpinBw = nullptr;
  TNumberBox* SpinBh = nullptr;
  TNumberBox* SpinBc = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QPushButton* UpBtn = nullptr;
  QPushButton* DownBtn = nullptr;
  TNumberBox* SpinBgh = nullptr;
  TNumberBox* SpinBgv = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QCheckBox* ShadowCheck = nullptr;
  QLabel* Label6 = nullptr;

  void FormShow();
  void AddBtnClick();
  void DelBtnClick();
  void UpBtnClick();
  void DownBtnClick();
  void ApplyBtnClick();

  // Fills the list from the bar's key list: each line's fields joined by tabs.
  void RefillList();

  // The list's selected entry, -1 when none: an entry can be current without being selected.
  int SelectedIndex() const;

  // The controls stand on this page, at the design's positions; the window scrolls it where
  // the screen is too small for it.
  QWidget* Content() const { return content_; }
  static constexpr QSize kDesignSize{308, 409};

  // Placed before the window reaches the screen at its first showing.
  void setVisible(bool visible) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FitTexts();
  void PlaceFirstTime();
  QScrollArea* scroll_ = nullptr;
  QWidget* content_ = nullptr;
  bool placed_ = false;
};

extern TForm2* Form2;

}  // namespace kavo
