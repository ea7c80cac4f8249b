// Every window test binary gets one widget application (offscreen), with the look
// the program sets up.

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "ui/filter_design_dlg.h"

namespace {

class QtWidgetsEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
        tapwright::ui::SetUpApplicationLook();
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "window-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtWidgetsEnvironment);

}  // namespace
