#pragma once
// The set-up the windows' tests share: a bar on a recording desktop, its files in a folder of
// the test's own, code page 1252, and the error boxes it would show collected instead.

#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/fake/fake_desktop.h"
#include "test_support.h"
#include "ui/Unit1.h"
#include "ui/error_guard.h"
#include "widgets/shadow_layer.h"

namespace kavo::test {

class BarFixture : public testing::Test {
 protected:
  void SetUp() override {
    SetErrorBoxSink([this](const QString& caption, const QString& text) {
      boxes_.push_back(BoxEntry(caption, text).toStdString());
    });
  }
  void TearDown() override { SetErrorBoxSink(nullptr); }

  // How a box is written down in boxes_.
  virtual QString BoxEntry(const QString& caption, const QString& text) const {
    return caption + "|" + text;
  }

  // A bar on the fake desktop, its files in the test's folder.
  std::unique_ptr<TForm1> StartBar() {
    return std::make_unique<TForm1>(input_, U16(dir_.path() + "/"));
  }
  void Write(const char* name, std::string_view bytes) { WriteBytes(dir_.Native(name), bytes); }

  // The buttons' shadow, when the bar shows one.
  static const TShadowLayer* ButtonShadow(const TForm1& form) {
    const auto* shadow = form.ButtonArea->findChild<TShadowLayer*>();
    return shadow && shadow->isVisible() && shadow->Casting() ? shadow : nullptr;
  }

  platform::ScopedCodePage codePage_{1252};
  platform::FakeDesktop input_;
  TempDir dir_;
  std::vector<std::string> boxes_;
};

}  // namespace kavo::test
