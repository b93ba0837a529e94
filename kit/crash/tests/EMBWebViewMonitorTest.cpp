#include "kit/crash/EMBWebViewMonitor.h"

#include "kit/crash/tests/CaptureFixture.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "testing/ChromiumPage.h"

#include <gtest/gtest.h>

#include <memory>

namespace kit {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using platform::foundation::Value;
using platform::ui::ScriptMessage;
using platform::ui::WebView;
using platform::ui::WebViewConfiguration;
using platform::ui::WebViewNavigationType;

// An error message with characters that a query must encode.
constexpr const char* kThrown { "boom & 100% = caf\xc3\xa9?" };
constexpr const char* kReported { "Uncaught Error: boom & 100% = caf\xc3\xa9?" };

// An app's web-view delegate that lets the monitor have the report loads, as the facade's answer does.
class ReportingDelegate : public platform::ui::WebViewDelegate {
public:
    bool shouldStartLoad(WebView& view, const std::string& url, WebViewNavigationType type) override
    {
        return !EMBWebViewHandleLoadRequest(view, url, type);
    }
};

// The "ember" message handler, as the facade is one.
class ReportingHandler : public platform::ui::ScriptMessageHandler {
public:
    void userContentControllerDidReceiveScriptMessage(
        platform::ui::UserContentController&, const ScriptMessage& message) override
    {
        EMBWebViewHandleScriptMessage(message);
    }
};

// Pages in a headless Chromium (one page at a time), with capture running in this process.
class EMBWebViewMonitorTest : public testing::CaptureFixture {
protected:
    static void SetUpTestSuite() { s_page = std::make_shared<::testing::ChromiumPage>(); }
    static void TearDownTestSuite() { s_page.reset(); }

    std::shared_ptr<WebView> shown(const std::string& html, const WebViewConfiguration& configuration = {})
    {
        auto view = std::make_shared<WebView>(platform::ui::Rect { 0, 0, 320, 480 }, configuration);
        view->setScriptEngine(s_page);
        view->setDelegate(m_delegate);
        view->loadHTMLString(html);
        mainQueue().runUntilIdle();
        return view;
    }

    static WebViewConfiguration monitoredConfiguration()
    {
        WebViewConfiguration configuration;
        configuration.userContentController()->addScriptMessageHandler(
            std::make_shared<ReportingHandler>(), "ember");
        EXPECT_TRUE(EMBWebViewSetupConfigurationForMonitoring(configuration));
        return configuration;
    }

    static std::shared_ptr<::testing::ChromiumPage> s_page;
    std::shared_ptr<ReportingDelegate> m_delegate { std::make_shared<ReportingDelegate>() };
};

std::shared_ptr<::testing::ChromiumPage> EMBWebViewMonitorTest::s_page;

// A page whose own error handler, installed by its onload, counts what it is told; the button throws.
std::string pageWithOwnHandler()
{
    return std::string("<button id='b' onclick=\"throw new Error('") + kThrown
        + "')\">Pay</button><script>var pageSaw = 0;"
          "window.onload = function () { window.onerror = function () { pageSaw++; }; };</script>";
}

TEST_F(EMBWebViewMonitorTest, BothKindsRecordAScriptErrorWithItsMessageAndThePagesHandlerStillRuns)
{
    startCapture();
    for (bool configured : { false, true }) {
        SCOPED_TRACE(configured ? "configured" : "watched");
        auto view = configured ? shown(pageWithOwnHandler(), monitoredConfiguration())
                               : shown(pageWithOwnHandler());
        if (!configured) {
            ASSERT_TRUE(EMBWebViewMonitorView(*view));
        }
        for (int click = 1; click <= 2; ++click) {
            view->stringByEvaluatingJavaScript("document.getElementById('b').click()");
            EXPECT_EQ(view->stringByEvaluatingJavaScript("pageSaw"), std::to_string(click));
        }
    }
    auto recorded = customExceptions();
    ASSERT_EQ(recorded.size(), 4u);
    for (const auto& exception : recorded) {
        EXPECT_EQ(exception.type, "javascript");
        EXPECT_EQ(exception.name, "exception");
        EXPECT_EQ(exception.reason, kReported) << "both kinds record the same decoded reason";
    }
}

TEST_F(EMBWebViewMonitorTest, AnErrorWhileThePageLoadsIsRecordedByAConfiguredView)
{
    startCapture();
    shown(std::string("<script>throw new Error('") + kThrown + "');</script>", monitoredConfiguration());
    auto recorded = customExceptions();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].reason, kReported);
}

TEST_F(EMBWebViewMonitorTest, AViewIsWatchedOnceAndNotAtAllWithoutAScriptEngine)
{
    auto view = shown("<p>invoice</p>");
    EXPECT_TRUE(EMBWebViewMonitorView(*view));
    EXPECT_FALSE(EMBWebViewMonitorView(*view)) << "the page has the handler already";
    EXPECT_EQ(view->stringByEvaluatingJavaScript("typeof emberOnError"), "function");

    auto engineless = std::make_shared<WebView>();
    engineless->loadHTMLString("<p>invoice</p>");
    mainQueue().runUntilIdle();
    EXPECT_FALSE(EMBWebViewMonitorView(*engineless));
}

TEST_F(EMBWebViewMonitorTest, OnlyReportAddressesAreKeptFromLoadingAndRecorded)
{
    startCapture();
    struct Case {
        const char* url;
        bool report;
        std::optional<std::string> reason;
    } cases[] = {
        { "ember://exception/uiwebkit?msg=Uncaught%20TypeError%3A%20x%20%26%20y&url=about%3Ablank&line=3",
            true, "Uncaught TypeError: x & y" },
        { "EMBER://exception/uiwebkit?line=3&msg=a%2Bb+c", true, "a+b+c" },
        { "ember://exception/uiwebkit?url=about%3Ablank&line=3", true, std::nullopt },
        { "ember://exception/uiwebkit?msg=50%25%zz&msg2=x", true, "50%%zz" },
        { "ember://exception/uiwebkit?msg=a=b&line=1", true, std::nullopt },
        { "https://example.test/?msg=nope", false, std::nullopt },
        { "about:blank", false, std::nullopt },
    };
    auto view = std::make_shared<WebView>();
    std::vector<std::optional<std::string>> expected;
    for (const auto& c : cases) {
        EXPECT_EQ(EMBWebViewHandleLoadRequest(*view, c.url, WebViewNavigationType::Other), c.report) << c.url;
        if (c.report)
            expected.push_back(c.reason);
    }
    auto recorded = customExceptions();
    ASSERT_EQ(recorded.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(recorded[i].reason, expected[i]) << i;
}

TEST_F(EMBWebViewMonitorTest, OnlyADictionaryMessageIsAReport)
{
    startCapture();
    EXPECT_TRUE(
        EMBWebViewHandleScriptMessage({ "ember", Dictionary::make({ { "msg", "Script error." } }), {} }));
    EXPECT_TRUE(EMBWebViewHandleScriptMessage({ "ember", Dictionary::make({ { "line", 4 } }), {} }));
    EXPECT_FALSE(EMBWebViewHandleScriptMessage({ "ember", Value("Script error."), {} }));
    auto recorded = customExceptions();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[0].reason, "Script error.");
    EXPECT_EQ(recorded[1].reason, std::nullopt);
}

TEST_F(EMBWebViewMonitorTest, NothingIsWrittenWhenCustomExceptionsAreOff)
{
    startCapture(0);
    auto view = std::make_shared<WebView>();
    EXPECT_TRUE(
        EMBWebViewHandleLoadRequest(*view, "ember://exception/uiwebkit?msg=x", WebViewNavigationType::Other));
    EXPECT_TRUE(customExceptions().empty());
}

}
}
