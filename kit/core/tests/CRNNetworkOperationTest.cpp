#include "kit/core/CRNNetworkOperation.h"

#include "platform/foundation/DeviceEnvironment.h"

#include <gtest/gtest.h>

using kit::CRNNetworkOperation;
using platform::foundation::ScopedDeviceEnvironment;
using platform::http::Task;
using platform::http::UrlRequest;

TEST(CRNNetworkOperationTest, RequestsCarryTheDefaultHeadersInOrder)
{
    ScopedDeviceEnvironment environment("en-GB", "Europe/London");
    CRNNetworkOperation operation("kit-key-1");
    auto request = operation.mutableRequestWithDefaultHTTPHeaderFieldsAndTimeoutForURL(
        "http://127.0.0.1:9/spi/v2/platforms/ios/apps/com.zorvik.Zorvik/settings");
    EXPECT_EQ(request.url, "http://127.0.0.1:9/spi/v2/platforms/ios/apps/com.zorvik.Zorvik/settings");
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.timeoutInterval, 10);
    EXPECT_EQ(request.cachePolicy, UrlRequest::CachePolicy::ReloadIgnoringLocalCacheData);
    EXPECT_EQ(request.headers,
        (Task::Headers {
            { "User-Agent", "io.cairn.sdk.ios/1.6.5 (46)" },
            { "Accept-Charset", "utf-8" },
            { "Accept-Language", "en_GB" },
            { "Content-Language", "en_GB" },
            { "X-Ember-Developer-Token", "3e9b1f07c4d82a65e0f9b7d3c1a48e6f2b5d09c7" },
            { "X-Ember-API-Client-Id", "io.cairn.sdk.ios" },
            { "X-Ember-API-Client-Display-Version", "1.6.5" },
            { "X-Ember-API-Client-Build-Version", "46" },
            { "X-Ember-API-Key", "kit-key-1" },
        }));
    EXPECT_EQ(
        operation.mutableRequestWithDefaultHTTPHeadersForURL("http://127.0.0.1:9/", 0.2).timeoutInterval,
        0.2);
}

TEST(CRNNetworkOperationTest, HeadersAreSetInPlaceOrAppended)
{
    UrlRequest request;
    request.setValue("application/json", "Accept");
    request.setValue("10", "Content-Length");
    request.setValue("text/plain", "accept");
    EXPECT_EQ(request.headers, (Task::Headers { { "Accept", "text/plain" }, { "Content-Length", "10" } }));
    EXPECT_EQ(request.header("ACCEPT"), "text/plain");
    EXPECT_EQ(request.header("X-Missing"), std::nullopt);
}
