#include "app/startup/dalloryapp.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings/settings.h"
#include "app/texts.h"
#include "platform/messageboxrecorder.h"
#include "tests/startup/runtimefolder.h"

namespace {

class DalloryAppTest : public ::testing::Test {
  protected:
    DalloryAppTest() : runtime_("startup_app"), app_(argc_, argv_) {}

    ScopedRuntimeFolder runtime_;
    int argc_ = 1;
    char name_[13] = "startup_test";
    char* argv_[2] = {name_, nullptr};
    CDalloryApp app_;
};

// This test program's folder holds none of the run-time libraries, so start-up stops at the
// binding step: one message, nothing held, and the exit routine may run again harmlessly.
TEST_F(DalloryAppTest, BindingFailureEndsStartUpHoldingNothing) {
    EXPECT_EQ(CDalloryApp::theApp(), &app_);
    MessageBoxRecorder boxes;
    EXPECT_FALSE(app_.InitInstance());
    ASSERT_EQ(boxes.calls().size(), 1u);
    EXPECT_EQ(boxes.calls()[0].owner, nullptr);
    EXPECT_TRUE(boxes.calls()[0].flags & MB_ICONERROR);
    EXPECT_FALSE(app_.holdsInstanceLock());
    EXPECT_TRUE(ProfileFileName().isEmpty());
    EXPECT_FALSE(std::filesystem::exists(runtime_.path() / CDalloryApp::kInstanceLockName));

    // The texts were opened and the tables filled before the binding step.
    EXPECT_EQ(FindTableText(MessageTextTable, 21014),
              QStringLiteral("Velnor is already running. "));
    EXPECT_EQ(FindTableText(ProgressTextTable, 15001), QStringLiteral("Now Starting Application"));
    EXPECT_EQ(FindTableText(LabelTextTable, 8003), QStringLiteral("USB"));

    EXPECT_EQ(app_.ExitInstance(), 0);
    EXPECT_EQ(app_.ExitInstance(), 0);
    EXPECT_EQ(boxes.calls().size(), 1u);
}

TEST_F(DalloryAppTest, ExitWithoutStartIsHarmless) {
    EXPECT_EQ(app_.ExitInstance(), 0);
    EXPECT_EQ(app_.ExitInstance(), 0);
    EXPECT_FALSE(app_.holdsInstanceLock());
}

}  // namespace
