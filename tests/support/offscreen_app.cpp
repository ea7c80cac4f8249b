// One offscreen Qt application for a whole test binary: the canvas font needs a GUI
// application, the picture control a widgets one (when the suite links Qt Widgets).

#include <gtest/gtest.h>

#ifdef QT_WIDGETS_LIB
#include <QApplication>
using OffscreenApplication = QApplication;
#else
#include <QGuiApplication>
using OffscreenApplication = QGuiApplication;
#endif

namespace {

class OffscreenEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = new OffscreenApplication(argc_, argv_);
    }
    void TearDown() override { delete app_; }

  private:
    int argc_ = 1;
    char name_[16] = "tapwright-tests";
    char* argv_[2] = {name_, nullptr};
    OffscreenApplication* app_ = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OffscreenEnvironment);

}  // namespace
