#include "platform/ui/WebView.h"

#include "platform/foundation/MainQueue.h"
#include "testing/server/LoopbackServer.h"
#include "testing/server/RefusingPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace platform::ui {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::RefusingPort;

/// Writes what it is asked and told into a list, and may refuse loads.
class RecordingDelegate : public WebViewDelegate {
public:
    bool shouldStartLoad(WebView&, const std::string& url, WebViewNavigationType) override
    {
        calls.push_back("should " + url);
        return allow;
    }
    void didStartLoad(WebView&) override { calls.push_back("start"); }
    void didFinishLoad(WebView& view) override { calls.push_back("finish " + view.url()); }
    void didFailLoad(WebView&, const WebLoadError& error) override
    {
        calls.push_back("fail " + error.url);
        failure = error.message;
    }

    bool ended() const
    {
        return !calls.empty() && (calls.back().rfind("finish", 0) == 0 || calls.back().rfind("fail", 0) == 0);
    }

    std::vector<std::string> calls;
    std::string failure;
    bool allow { true };
};

class WebViewTest : public ::testing::Test {
protected:
    void SetUp() override { view->setDelegate(delegate); }

    bool waitForEnd()
    {
        return foundation::mainQueue().runUntil([this] { return delegate->ended(); });
    }

    std::shared_ptr<WebView> view { std::make_shared<WebView>(Rect(0, 0, 320, 480)) };
    std::shared_ptr<RecordingDelegate> delegate { std::make_shared<RecordingDelegate>() };
};

TEST_F(WebViewTest, HtmlTextLoadsOnTheQueueAndIsKept)
{
    view->loadHTMLString("<html><title>Invoice 7</title></html>");
    EXPECT_THAT(delegate->calls, ElementsAre("should about:blank"));
    EXPECT_TRUE(view->isLoading());
    EXPECT_EQ(view->html(), "");
    foundation::mainQueue().runUntilIdle();
    EXPECT_THAT(delegate->calls, ElementsAre("should about:blank", "start", "finish about:blank"));
    EXPECT_EQ(view->pageTitle(), "Invoice 7");
    EXPECT_FALSE(view->isLoading());

    view->loadHTMLString("<p>one</p>", "http://127.0.0.1/base/");
    view->loadHTMLString("<p>two</p>", "http://127.0.0.1/base/");
    foundation::mainQueue().runUntilIdle();
    EXPECT_EQ(view->html(), "<p>two</p>") << "a newer load replaces one in progress";
    EXPECT_EQ(view->baseURL(), "http://127.0.0.1/base/");
    EXPECT_EQ(std::count(delegate->calls.begin(), delegate->calls.end(), "start"), 2);
}

TEST_F(WebViewTest, RefusedLoadDoesNothing)
{
    delegate->allow = false;
    view->loadURL("http://127.0.0.1:9/x");
    foundation::mainQueue().runUntilIdle();
    EXPECT_THAT(delegate->calls, ElementsAre("should http://127.0.0.1:9/x"));
    EXPECT_FALSE(view->isLoading());
}

TEST_F(WebViewTest, PagesComeOverHttpAndUnreachableOnesFail)
{
    RefusingPort closed;
    ASSERT_NE(closed.port(), 0);
    std::string refused = "http://127.0.0.1:" + std::to_string(closed.port()) + "/page";
    view->loadURL(refused);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(delegate->calls.back(), "fail " + refused);
    EXPECT_FALSE(delegate->failure.empty());
    EXPECT_EQ(view->html(), "");

    ::testing::LoopbackServer server;
    server.script("GET", "/page", ::testing::ServerResponse::text(200, "<title>Terms</title>", "text/html"));
    server.script(
        "GET", "/gone", ::testing::ServerResponse::text(404, "<title>Not here</title>", "text/html"));
    for (auto [path, title, status] :
        { std::tuple { "/page", "Terms", 200 }, { "/gone", "Not here", 404 } }) {
        delegate->calls.clear();
        view->loadURL(server.url(path));
        ASSERT_TRUE(waitForEnd());
        EXPECT_EQ(delegate->calls.back(), "finish " + server.url(path));
        EXPECT_EQ(view->pageTitle(), title);
        EXPECT_EQ(view->statusCode(), status);
    }

    view->loadURL("ftp://127.0.0.1/file");
    ASSERT_TRUE(waitForEnd());
    EXPECT_THAT(delegate->failure, HasSubstr("unsupported URL"));
}

}
}
