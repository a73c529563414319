#include "platform/textformat.h"

#include <gtest/gtest.h>

namespace {

TEST(TextFormat, FillsTheFirstPlaceholderOnly) {
    const QString name = QStringLiteral("vzqtarvin.so");
    EXPECT_EQ(platform::formatWithText(QStringLiteral("Cannot load %s."), name),
              QStringLiteral("Cannot load vzqtarvin.so."));
    EXPECT_EQ(platform::formatWithText(QStringLiteral("%ls / %s"), name),
              QStringLiteral("vzqtarvin.so / %s"));
    EXPECT_EQ(platform::formatWithText(QStringLiteral("100%% of %1"), name),
              QStringLiteral("100% of vzqtarvin.so"));
    EXPECT_EQ(platform::formatWithText(QStringLiteral("%d %"), name), QStringLiteral("%d %"));
    EXPECT_EQ(platform::formatWithText(QString(), name), QString());
}

}  // namespace
