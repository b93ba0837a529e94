#include "kit/crash/EMBInternalReport.h"

#include "kit/crash/EMBReport.h"
#include "kit/crash/tests/UserLoggingFixture.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kit {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMetadata
    = "{\"identity\":{\"generator\":\"Ember iOS SDK/3.7.0\",\"api_key\":\"k3y\",\"started_at\":1765000000,"
      "\"session_id\":\"5e55\"}}\n"
      "{\"host\":{\"os_build_version\":\"22A1\",\"os_display_version\":\"12.0\",\"platform\":\"ios\"}}\n"
      "{\"application\":{\"bundle_id\":\"com.zorvik.app\",\"build_version\":\"41\",\"display_version\":\"2."
      "1\"}}\n";

class EMBInternalReportTest : public testing::UserLoggingFixture {
protected:
    void SetUp() override
    {
        platform::foundation::Log::setCapture([](const std::string&) {});
    }
    void TearDown() override
    {
        UserLoggingFixture::TearDown();
        platform::foundation::Log::setCapture({});
    }
    void write(const std::string& name, const std::string& text) { std::ofstream(path(name)) << text; }
};

TEST_F(EMBInternalReportTest, MetadataNamesTheReport)
{
    write("metadata.embrecord", kMetadata);
    auto report = EMBInternalReport::reportWithPath(m_directory.path().string());
    ASSERT_TRUE(report);
    EXPECT_EQ(report->identifier(), "5e55");
    EXPECT_EQ(report->APIKey(), "k3y");
    EXPECT_EQ(report->dateCreated()->secondsSince1970, 1765000000.0);
    EXPECT_EQ(report->OSVersion(), "12.0");
    EXPECT_EQ(report->OSBuildVersion(), "22A1");
    EXPECT_EQ(report->bundleVersion(), "41");
    EXPECT_EQ(report->bundleShortVersionString(), "2.1");
    EXPECT_EQ(report->directoryName(), m_directory.path().filename().string());
}

TEST_F(EMBInternalReportTest, MissingOrDamagedMetadataMakesNoReport)
{
    const std::vector<std::pair<const char*, const char*>> cases {
        { "missing", nullptr },
        { "empty", "" },
        { "garbage", "\x01\x02not json\n" },
        { "no session id", "{\"identity\":{\"api_key\":\"k\"}}\n" },
        { "session id not text", "{\"identity\":{\"session_id\":7}}\n" },
        { "identity not first", "{\"host\":{}}\n{\"identity\":{\"session_id\":\"5e55\"}}\n" },
    };
    for (const auto& [name, text] : cases) {
        fs::remove(path("metadata.embrecord"));
        if (text)
            write("metadata.embrecord", text);
        EXPECT_FALSE(EMBInternalReport::reportWithPath(m_directory.path().string())) << name;
    }
    EXPECT_FALSE(EMBInternalReport::reportWithPath("", "id"));
    EXPECT_FALSE(EMBInternalReport::reportWithPath(m_directory.path().string(), ""));
    EXPECT_TRUE(EMBInternalReport::reportWithPath(m_directory.path().string(), "id"));
}

TEST_F(EMBInternalReportTest, WhatMakesAReportWorthSendingOrACrash)
{
    const std::vector<std::tuple<const char*, bool, bool>> cases {
        { "signal.embrecord", true, true },
        { "mach_exception.embrecord", true, true },
        { "exception.embrecord", true, true },
        { "errors_b.embrecord", true, false },
        { "custom_exception_a.embrecord", true, false },
        { "log_a.embrecord", false, false },
        { "user_compacted_kv.embrecord", false, false },
    };
    for (const auto& [name, submit, crash] : cases) {
        ::testing::TemporaryDirectory directory;
        std::ofstream(directory.path() / name) << "{}\n";
        auto report = EMBInternalReport::reportWithPath(directory.path().string(), "id");
        EXPECT_EQ(report->needsToBeSubmitted(), submit) << name;
        EXPECT_EQ(report->isCrash(), crash) << name;
    }
    std::vector<std::string> listed;
    EMBInternalReport::reportWithPath("/r", "id")
        ->enumerateSymbolicatableFilesInContent([&](const std::string& path) { listed.push_back(path); });
    EXPECT_EQ(listed,
        (std::vector<std::string> {
            "/r/exception.embrecord", "/r/mach_exception.embrecord", "/r/signal.embrecord" }));
}

TEST_F(EMBInternalReportTest, KeysSetOnAReportGoToItsOwnFilesOnlyWhileLoggingIsSetUp)
{
    ::testing::TemporaryDirectory earlier;
    EMBReport report(EMBInternalReport::reportWithPath(earlier.path().string(), "old"));
    report.setObjectValue(platform::foundation::Value("dropped"), "early");
    EXPECT_TRUE(fs::is_empty(earlier.path()));

    start({ .maxCustomKeys = 2 });
    report.setObjectValue(platform::foundation::Value("Pro"), "plan");
    report.setUserIdentifier("u-17");
    report.setUserEmail("sam@example.com");
    auto dir = earlier.path().string();
    EXPECT_EQ(
        testing::storedKeys(dir + "/user_compacted_kv.embrecord", dir + "/user_incremental_kv.embrecord"),
        (std::map<std::string, std::string> { { "plan", "Pro" } }));
    EXPECT_EQ(testing::storedKeys(
                  dir + "/internal_compacted_kv.embrecord", dir + "/internal_incremental_kv.embrecord"),
        (std::map<std::string, std::string> {
            { "com.ember.user-id", "u-17" }, { "com.ember.user-email", "sam@example.com" } }));
    EXPECT_TRUE(fs::is_empty(m_directory.path()));
}

}
}
