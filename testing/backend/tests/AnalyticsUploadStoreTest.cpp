#include "testing/backend/Backend.h"
#include "testing/backend/tests/ReportPackage.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <string>
#include <vector>

namespace testing {
namespace {

using platform::foundation::Value;

constexpr const char* kEventsType { "application/vnd.ember.ios.events" };
// Event-log lines: timestamp, key and, for a payload, its length and bytes, tab-separated.
const std::string kHighPriority = "1421236800000\tapp_installed\t16\t{\"eventId\":\"E-1\"}\n";
const std::string kLowPriority = "1421236800001\tview_controller_appeared\n";

class AnalyticsUploadStoreTest : public ::testing::Test {
protected:
    // The upload URL the settings give the app.
    std::string uploadUrl()
    {
        auto answer = http.Get("/spi/v2/platforms/ios/apps/com.zorvik.Zorvik/settings",
            httplib::Headers { { "X-Ember-API-Key", KitService::acceptedAPIKey() } });
        EXPECT_TRUE(answer);
        auto settings = platform::foundation::parseJson(answer ? answer->body : "").value.dictionary();
        auto analytics = settings ? settings->get("analytics").dictionary() : nullptr;
        return analytics ? analytics->get("url").stringValue() : "";
    }

    // Posts `body` to the upload URL with the headers as the analytics kit writes them.
    httplib::Result post(const std::string& body, const std::string& contentType, const std::string& key)
    {
        std::string url = uploadUrl();
        EXPECT_TRUE(url.starts_with(backend.baseUrl())) << url;
        httplib::Headers headers { { "User-Agent", "Tally iOS SDK/1.2.0" },
            { "X-EMBER-API-CLIENT-TYPE", "Tally iOS SDK" } };
        if (!key.empty())
            headers.emplace("X-EMBER-API-KEY", key);
        return http.Post(url.substr(backend.baseUrl().size()), headers, body, contentType);
    }

    Backend backend;
    httplib::Client http { "127.0.0.1", backend.port() };
};

TEST_F(AnalyticsUploadStoreTest, TheSettingsURLTakesEventLogsInflated)
{
    auto answer = post(package({ { "1.log.zip", gzip(kHighPriority), "1.log.zip", kEventsType },
                           { "2.log.zip", gzip(kLowPriority), "2.log.zip", kEventsType } }),
        "multipart/form-data; boundary=B0UND", "another-build-key");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(answer->get_header_value("Content-Type").rfind("application/json", 0), 0u);
    EXPECT_EQ(platform::foundation::parseJson(answer->body).value.dictionary()->get("files"), Value(2));

    auto uploads = backend.analyticsUploads().uploads();
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].apiKey, "another-build-key");
    EXPECT_EQ(uploads[0].header("x-ember-api-client-type"), "Tally iOS SDK");
    EXPECT_EQ(uploads[0].header("User-Agent"), "Tally iOS SDK/1.2.0");
    EXPECT_EQ(uploads[0].platform, "ios");
    EXPECT_EQ(uploads[0].app, "com.zorvik.Zorvik");
    ASSERT_EQ(uploads[0].files.size(), 2u);
    EXPECT_EQ(uploads[0].files[0].fileName, "1.log.zip");
    EXPECT_EQ(uploads[0].files[0].contentType, kEventsType);
    EXPECT_EQ(uploads[0].files[0].data, kHighPriority);
    EXPECT_EQ(uploads[0].files[1].data, kLowPriority);
}

TEST_F(AnalyticsUploadStoreTest, AnswersEveryBodyItCanRead)
{
    struct Case {
        const char* name;
        std::string body;
        std::string contentType;
        std::string key;
        int status;
        std::size_t files;
    };
    const std::string multipart = "multipart/form-data; boundary=B0UND";
    const Case cases[] = {
        { "a fragment without files", package({}), multipart, KitService::acceptedAPIKey(), 200, 0 },
        { "a file that is no gzip data", package({ { "1.log.zip", "plain", "1.log.zip", kEventsType } }),
            multipart, KitService::acceptedAPIKey(), 200, 1 },
        { "no key", package({}), multipart, "", 401, 0 },
        { "no multipart form", R"({"files":[]})", "application/json", KitService::acceptedAPIKey(), 400, 0 },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto before = backend.analyticsUploads().uploads().size();
        auto answer = post(test.body, test.contentType, test.key);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, test.status);
        auto uploads = backend.analyticsUploads().uploads();
        ASSERT_EQ(uploads.size(), before + (test.status == 200 ? 1 : 0));
        if (test.status == 200) {
            EXPECT_EQ(uploads.back().files.size(), test.files);
        }
    }
    EXPECT_EQ(backend.analyticsUploads().uploads().back().files.at(0).data, "plain");
}

}
}
