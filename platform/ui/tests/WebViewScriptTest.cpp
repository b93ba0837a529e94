#include "platform/ui/WebView.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/ScriptEngine.h"
#include "testing/ChromiumPage.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {
namespace {

using foundation::mainQueue;

// Writes down what pages post to it.
class RecordingHandler : public ScriptMessageHandler {
public:
    void userContentControllerDidReceiveScriptMessage(
        UserContentController&, const ScriptMessage& message) override
    {
        messages.push_back(message);
    }

    std::vector<ScriptMessage> messages;
};

// Writes down the loads it is asked about and lets none of "blocked:" load.
class FrameDelegate : public WebViewDelegate {
public:
    bool shouldStartLoad(WebView&, const std::string& url, WebViewNavigationType type) override
    {
        asked.emplace_back(url, type);
        return !url.starts_with("blocked:");
    }

    std::vector<std::pair<std::string, WebViewNavigationType>> asked;
};

// Web views whose pages run in one headless Chromium.
class WebViewScriptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_page = std::make_shared<::testing::ChromiumPage>(); }
    static void TearDownTestSuite() { s_page.reset(); }

    std::shared_ptr<WebView> shown(const std::string& html, const WebViewConfiguration& configuration = {})
    {
        auto view = std::make_shared<WebView>(Rect { 0, 0, 320, 480 }, configuration);
        view->setScriptEngine(s_page);
        view->setDelegate(m_delegate);
        view->loadHTMLString(html);
        mainQueue().runUntilIdle();
        return view;
    }

    static std::shared_ptr<::testing::ChromiumPage> s_page;
    std::shared_ptr<FrameDelegate> m_delegate { std::make_shared<FrameDelegate>() };
};

std::shared_ptr<::testing::ChromiumPage> WebViewScriptTest::s_page;

TEST_F(WebViewScriptTest, EvaluationAnswersTheValueAsTextAndNothingWhenItCannot)
{
    auto view = shown("<p id='p'>Invoice 7</p><script>var total = 41;</script>");
    struct Case {
        const char* script;
        const char* answer;
    } cases[] = {
        { "total + 1", "42" },
        { "document.getElementById('p').textContent", "Invoice 7" },
        { "undefined", "" },
        { "null", "" },
        { "throw new Error('no')", "" },
        { "this is not script", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(view->stringByEvaluatingJavaScript(c.script), c.answer) << c.script;

    auto engineless = std::make_shared<WebView>();
    engineless->loadHTMLString("<script>var total = 41;</script>");
    mainQueue().runUntilIdle();
    EXPECT_EQ(engineless->html(), "<script>var total = 41;</script>");
    EXPECT_EQ(engineless->stringByEvaluatingJavaScript("total + 1"), "") << "no engine, no script";
}

TEST_F(WebViewScriptTest, DocumentStartScriptsRunBeforeThePagesOwnAndInTheMainFrameOnlyWhenSoMarked)
{
    WebViewConfiguration configuration;
    configuration.userContentController()->addUserScript(
        { "var seen = ['start']; function startMark() { return 'mark'; }",
            UserScript::InjectionTime::AtDocumentStart, true });
    configuration.userContentController()->addUserScript(
        { "var everywhere = true;", UserScript::InjectionTime::AtDocumentStart, false });
    configuration.userContentController()->addUserScript(
        { "seen.push('end:' + document.querySelectorAll('p').length);",
            UserScript::InjectionTime::AtDocumentEnd, true });
    auto view = shown(
        "<script>seen.push('page:' + startMark());</script><p>a</p><p>b</p>"
        "<iframe srcdoc=\"<script>parent.frameSaw = typeof seen + ' ' + typeof everywhere;</script>\">"
        "</iframe>",
        configuration);
    EXPECT_EQ(view->stringByEvaluatingJavaScript("seen.join(',')"), "start,page:mark,end:2");
    EXPECT_EQ(view->stringByEvaluatingJavaScript("frameSaw"), "undefined boolean");
}

TEST_F(WebViewScriptTest, WhatAPagePostsReachesTheHandlerOfThatName)
{
    WebViewConfiguration configuration;
    auto notes = std::make_shared<RecordingHandler>();
    ASSERT_TRUE(configuration.userContentController()->addScriptMessageHandler(notes, "notes"));
    EXPECT_FALSE(configuration.userContentController()->addScriptMessageHandler(notes, "notes"))
        << "a name is taken once";
    auto view
        = shown("<script>window.webkit.messageHandlers.notes.postMessage({ invoice: 7, paid: true, "
                "to: 'Ann \\u00e9' }); window.webkit.messageHandlers.notes.postMessage('second');</script>",
            configuration);
    ASSERT_EQ(notes->messages.size(), 2u);
    const auto& first = notes->messages[0];
    EXPECT_EQ(first.name, "notes");
    EXPECT_EQ(first.webView.lock(), view);
    ASSERT_TRUE(first.body.dictionary());
    EXPECT_EQ(first.body.dictionary()->get("invoice"), foundation::Value(7));
    EXPECT_EQ(first.body.dictionary()->get("paid"), foundation::Value(true));
    EXPECT_EQ(first.body.dictionary()->get("to"), foundation::Value("Ann \xc3\xa9"));
    EXPECT_EQ(notes->messages[1].body, foundation::Value("second"));

    EXPECT_EQ(view->stringByEvaluatingJavaScript("typeof window.webkit.messageHandlers.other"), "undefined");
    view->stringByEvaluatingJavaScript("window.webkit.messageHandlers.notes.postMessage(3)");
    ASSERT_EQ(notes->messages.size(), 3u) << "a message posted by an evaluation arrives with its answer";
    EXPECT_EQ(notes->messages[2].body, foundation::Value(3));
}

TEST_F(WebViewScriptTest, AFrameThePageAddsIsAskedOfTheDelegate)
{
    auto view = shown("<p>page</p>");
    m_delegate->asked.clear();
    view->stringByEvaluatingJavaScript(
        "var f = document.createElement('iframe'); f.src = 'blocked://report?x=1';"
        "document.body.appendChild(f); f.remove(); 'done'");
    ASSERT_EQ(m_delegate->asked.size(), 1u);
    EXPECT_EQ(m_delegate->asked[0].first, "blocked://report?x=1");
    EXPECT_EQ(m_delegate->asked[0].second, WebViewNavigationType::Other);
}

}
}
