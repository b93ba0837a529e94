#include "platform/foundation/Assertion.h"

#include <gtest/gtest.h>

using platform::foundation::fatalError;
using platform::foundation::precondition;

TEST(AssertionDeathTest, FatalErrorStopsWithItsMessageAndPlace)
{
    EXPECT_DEATH(
        fatalError("a screen popped twice"), "Fatal error: a screen popped twice \\(.*AssertionTest.cpp:");
}

TEST(AssertionDeathTest, PreconditionStopsOnlyWhenFalse)
{
    precondition(true, "never shown");
    EXPECT_DEATH(precondition(1 + 1 == 3, "arithmetic broke"), "arithmetic broke");
}
