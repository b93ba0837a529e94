#include "testing/backend/AttributionService.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/Json.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>
#include <httplib.h>

namespace testing {
namespace {

using platform::foundation::Base64;

TEST(AttributionServiceTest, FieldsKeepTheCommasOfTheirValues)
{
    auto fields = AttributionService::fields("uid=1-2,name=Ann, Bob,plain_el_arr=a@x.test,b@x.test");
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[1], (std::pair<std::string, std::string> { "name", "Ann, Bob" }));
    EXPECT_EQ(fields[2], (std::pair<std::string, std::string> { "plain_el_arr", "a@x.test,b@x.test" }));
}

TEST(AttributionServiceTest, RequestsOfUnknownAppsOrUnreadableBodiesAreRefused)
{
    Backend backend;
    httplib::Client http { "127.0.0.1", backend.port() };
    struct Case {
        const char* path;
        const char* body;
        int status;
    };
    for (auto [path, body, status] : {
             Case { "/api/v3/iosevent?app_id=1&buildnumber=3.0", "data=AAAA", 404 },
             Case { "/api/v3/iosevent?app_id=1047395822&buildnumber=3.0", "data=A!==", 400 },
             Case { "/api/v3/iosevent?app_id=1047395822&buildnumber=3.0", "uid=1,", 400 },
         }) {
        auto result = http.Post(path, body, "application/x-www-form-urlencoded");
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, status) << body;
    }
    EXPECT_TRUE(AttributionService::of(backend)->requests().empty());
}

TEST(AttributionServiceTest, ConversionDataIsFreshOnceThenCachedAndNeedsTheAppsKey)
{
    Backend backend;
    httplib::Client http { "127.0.0.1", backend.port() };
    const std::string path = "/install_data/v3/id1047395822?devkey=Zq7v&device_id=d-1";
    std::vector<std::string> answers;
    for (int i = 0; i < 2; ++i) {
        auto result = http.Get(path);
        ASSERT_TRUE(result);
        answers.push_back(result->body);
    }
    EXPECT_EQ(answers,
        (std::vector<std::string> { R"({"install_status":"organic","iscache":false})",
            R"({"install_status":"organic","iscache":true})" }));
    EXPECT_EQ(http.Get("/install_data/v3/id1047395822?devkey=other&device_id=d-1")->status, 403);
    EXPECT_EQ(http.Get("/install_data/v3/id42?devkey=Zq7v&device_id=d-1")->status, 404);
}

TEST(AttributionServiceTest, AReceiptIsAnsweredWithItsPurchases)
{
    Backend backend;
    httplib::Client http { "127.0.0.1", backend.port() };
    const std::string receipt = R"({"in_app":[{"transaction_id":"t-1"}]})";
    const std::string query = "/validate-ios-receipt?app_id=1047395822&wayfinder_id=u&sandbox=true&dev_key=";
    auto answer = [&](const std::string& key, const std::string& data) {
        auto result = http.Post(query + key, R"({"receipt-data":")" + data + "\"}", "application/json");
        return result ? result->status == 200 ? result->body : std::to_string(result->status) : "none";
    };
    EXPECT_EQ(answer("Zq7v", Base64::encode(receipt)),
        R"({"environment":"Sandbox","receipt":{"in_app":[{"transaction_id":"t-1"}]},"status":0})");
    EXPECT_EQ(answer("Zq7v", "bm90IGpzb24="), R"({"status":21002})");
    EXPECT_EQ(answer("other", Base64::encode(receipt)), "403");
    auto validations = AttributionService::of(backend)->validations();
    ASSERT_EQ(validations.size(), 3u);
    EXPECT_TRUE(validations[0].sandbox);
    EXPECT_EQ(validations[0].wayfinderId, "u");
}

}
}
