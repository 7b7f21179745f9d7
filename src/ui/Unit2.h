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

  // The button look, in the "Button" group at the top.
  QGroupBox* GroupBox1 = nullptr;    // the group
  QLabel* Label1 = nullptr;          // "Width"
  QLabel* Label2 = nullptr;          // "Height"
  QLabel* Label3 = nullptr;          // "Corner"
  TNumberBox* SpinBw = nullptr;      // button width
  TNumberBox* SpinBh = nullptr;      // button height
  TNumberBox* SpinBc = nullptr;      // corner radius
  QLabel* Label4 = nullptr;          // "Horizontal Gap"
  QLabel* Label5 = nullptr;          // "Vertical Gap"
  TNumberBox* SpinBgh = nullptr;     // horizontal gap between buttons
  TNumberBox* SpinBgv = nullptr;     // vertical gap between buttons
  QCheckBox* ShadowCheck = nullptr;  // whether the button area casts a shadow

  // The bindings, below the group.
  QWidget* Layout1 = nullptr;       // holds the two parts below
  QWidget* Layout2 = nullptr;       // the new binding's controls
  QLineEdit* Edit1 = nullptr;       // the new binding's caption
  QPushButton* AddBtn = nullptr;    // adds the new binding to the list
  QComboBox* ComboBox1 = nullptr;   // its first key
  QComboBox* ComboBox2 = nullptr;   // its second key, or none
  QComboBox* ComboBox3 = nullptr;   // its third key, or none
  QComboBox* ModeBox = nullptr;     // how it sends its keys: Tap, Latch, Toggle
  QWidget* Layout3 = nullptr;       // the list and its buttons
  QListWidget* ListBox1 = nullptr;  // the key list, a line's fields separated by tabs
  QPushButton* ApplyBtn = nullptr;  // rebuilds the bar and saves the key file ("Applay")
  QPushButton* DelBtn = nullptr;    // deletes the selected line
  QPushButton* UpBtn = nullptr;     // moves the selected line up
  QPushButton* DownBtn = nullptr;   // moves the selected line down

  // Handlers: showing fills the controls from the bar; the buttons edit the key list in place.
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
  // Rows the key choosers' opened lists show at once.
  static constexpr int kChooserRows = 16;

  // Placed before the window reaches the screen at its first showing.
  void setVisible(bool visible) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void FitTexts();
  void PlaceFirstTime();
  QScrollArea* scroll_ = nullptr;
  QWidget* content_ = nullptr;
  bool placed_ = false;
};

// The settings window, while it exists (made when the menu first asks for it).
extern TForm2* Form2;

}  // namespace kavo
