#include "app/startup/dalloryapp.h"

#include <gtest/gtest.h>

#include "app/settings/settings.h"
#include "app/texts.h"
#include "platform/instancelock.h"
#include "platform/messageboxrecorder.h"
#include "tests/startup/runtimefolder.h"

namespace {

// The application object in this process: start-up takes the lock and the profile name, loads
// the settings and (until the selection and main windows join) returns; the exit routine gives
// everything back and may run twice.
TEST(DalloryApp, StartsAndExitsTwiceHarmlessly) {
    ScopedRuntimeFolder runtime("startup_app");
    int argc = 1;
    char name[] = "startup_test";
    char* argv[] = {name, nullptr};
    CDalloryApp app(argc, argv);
    EXPECT_EQ(CDalloryApp::theApp(), &app);

    MessageBoxRecorder boxes;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(boxes.calls().empty());
    EXPECT_TRUE(app.holdsInstanceLock());
    EXPECT_TRUE(ProfileFileName().endsWith(QStringLiteral("/setting/startup_test.ini")));
    EXPECT_EQ(FindTableText(MessageTextTable, 21014),
              QStringLiteral("Velnor is already running. "));
    EXPECT_EQ(FindTableText(ProgressTextTable, 15001), QStringLiteral("Now Starting Application"));
    EXPECT_EQ(FindTableText(LabelTextTable, 8003), QStringLiteral("USB"));

    // Another process would be told that Velnor runs.
    EXPECT_EQ(platform::InstanceLock().acquire(CDalloryApp::kInstanceLockName),
              platform::InstanceLockStatus::alreadyExists);

    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_FALSE(app.holdsInstanceLock());
    EXPECT_TRUE(ProfileFileName().isEmpty());
    EXPECT_EQ(app.ExitInstance(), 0);

    platform::InstanceLock next;
    EXPECT_EQ(next.acquire(CDalloryApp::kInstanceLockName), platform::InstanceLockStatus::acquired);
}

}  // namespace
