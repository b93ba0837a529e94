#include "testing/backend/Backend.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <string>

namespace testing {
namespace {

class ConversionPingStoreTest : public ::testing::Test {
protected:
    // The paths go out as written: the client would escape the activity pings' ";" otherwise.
    void SetUp() override { http.set_url_encode(false); }

    Backend backend;
    httplib::Client http { "127.0.0.1", backend.port() };
};

TEST_F(ConversionPingStoreTest, KeepsEachServicesPingsWithTheirParametersDecoded)
{
    auto conversion = http.Get("/pagead/conversion/12%2F3/?label=sale&ai=a%20b%26c&retry=1");
    auto purchase = http.Get("/pagead/conversion/?sku=com.zorvik.pro");
    auto activity = http.Get("/adactivity/activity;dc_iu=%2F6499%2Fbanner;section=news%3Bsport?retry=1");
    for (const auto* answer : { &conversion, &purchase, &activity }) {
        ASSERT_TRUE(*answer);
        EXPECT_EQ((*answer)->status, 200);
        EXPECT_TRUE((*answer)->body.empty());
    }
    auto pings = backend.conversionPings().pings();
    ASSERT_EQ(pings.size(), 3u);
    EXPECT_EQ(pings[0].service, ConversionPing::Service::Conversion);
    EXPECT_EQ(pings[0].conversionID, "12/3");
    EXPECT_EQ(pings[0].names(), (std::vector<std::string> { "label", "ai", "retry" }));
    EXPECT_EQ(pings[0].parameter("ai"), "a b&c");
    EXPECT_EQ(pings[1].conversionID, "");
    EXPECT_EQ(pings[1].parameter("sku"), "com.zorvik.pro");
    EXPECT_EQ(pings[2].service, ConversionPing::Service::Activity);
    EXPECT_EQ(pings[2].names(), (std::vector<std::string> { "dc_iu", "section", "retry" }));
    EXPECT_EQ(pings[2].parameter("dc_iu"), "/6499/banner");
    EXPECT_EQ(pings[2].parameter("section"), "news;sport");
}

TEST_F(ConversionPingStoreTest, RefusesRequestsOfAnotherShapeAndCanBeMadeToFail)
{
    for (const char* path : { "/pagead/conversion/123", "/pagead/conversion/1/2/", "/adactivity/other" }) {
        SCOPED_TRACE(path);
        auto answer = http.Get(path);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 400);
    }
    backend.failRoute("GET", "/pagead/conversion/*", 503, 1);
    auto failed = http.Get("/pagead/conversion/9/?value=1");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, 503);
    EXPECT_TRUE(backend.conversionPings().pings().empty());
    ASSERT_TRUE(ConversionPing::parse(backend.requests().back()));
    EXPECT_EQ(ConversionPing::parse(backend.requests().back())->conversionID, "9");
}

}
}
