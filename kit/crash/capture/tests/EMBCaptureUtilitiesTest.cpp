#include "kit/crash/capture/EMBCaptureUtilities.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/OperationQueue.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace kit {
namespace {

using platform::foundation::DispatchQueue;
using platform::foundation::mainQueue;

TEST(EMBCaptureUtilities, NormalisesUUIDTexts)
{
    EXPECT_EQ(EMBNormalizeUUID("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"), "e621e1f8c36c495a93fc0c247a3e6e5f");
    EXPECT_EQ(EMBNormalizeUUID("already-lower"), "alreadylower");
    EXPECT_EQ(EMBNormalizeUUID(""), "");
    std::string fresh = EMBGenerateNormalizedUUID();
    EXPECT_EQ(fresh.size(), 32u);
    EXPECT_TRUE(std::all_of(fresh.begin(), fresh.end(), [](char c) {
        return std::isxdigit(c) && !std::isupper(c);
    })) << fresh;
    EXPECT_NE(fresh, EMBGenerateNormalizedUUID());
}

TEST(EMBCaptureUtilities, UnlinkCountsAMissingFileAsDone)
{
    ::testing::TemporaryDirectory folder;
    auto file = folder.path() / "signal.embrecord";
    platform::foundation::Files::writeText(file, "x");
    EXPECT_TRUE(EMBUnlinkIfExists(file.c_str()));
    EXPECT_FALSE(platform::foundation::Files::exists(file));
    EXPECT_TRUE(EMBUnlinkIfExists(file.c_str()));
    EXPECT_FALSE(EMBUnlinkIfExists(folder.path().c_str())) << "a folder is not a file";
    EXPECT_FALSE(EMBUnlinkIfExists(nullptr));
}

TEST(EMBCaptureUtilities, DelaysCountOnTheMainQueuesClock)
{
    DispatchQueue queue("com.cairn.ember.ios.logging");
    platform::foundation::OperationQueue operations("com.cairn.ember.ios.work-queue", 1);
    std::atomic<int> ran { 0 };
    std::atomic<int> added { 0 };
    EMBDispatchAfter(
        queue, [&] { ++ran; }, 2.5f);
    EMBAddOperationAfter(
        operations, [&] { ++added; }, 10.0f);

    mainQueue().advance(2.4);
    queue.waitUntilIdle();
    EXPECT_EQ(ran, 0);
    mainQueue().advance(0.2);
    queue.waitUntilIdle();
    EXPECT_EQ(ran, 1);
    EXPECT_FALSE(queue.isCurrent());

    mainQueue().advance(7.0);
    EXPECT_EQ(added, 0);
    mainQueue().advance(0.5);
    DispatchQueue::global().waitUntilIdle();
    operations.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(added, 1);
}

}
}
