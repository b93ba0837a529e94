#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewPage.h"
#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewView.h"
#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewViewController.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "Zorvik/tests/FrameFixture.h"
#include "Zorvik/tests/PreviewDocuments.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "testing/ChromiumPage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iostream>
#include <string>

namespace zorvik::test {
namespace {

using platform::foundation::DictionaryRef;
using platform::foundation::parseJson;
using platform::foundation::Value;

DictionaryRef record(const std::string& json)
{
    auto parsed = parseJson(json);
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    return parsed.value.dictionary();
}

// An invoice as the create-invoice form builds it for a preview.
DictionaryRef vatInvoice(const std::string& recipientName = "Bloggs & Sons")
{
    auto invoice = record(R"({
        "description": "Website design", "reference": "ACME007",
        "reference_components": {"prefix": "ACME", "counter": "007"},
        "net_amount": 1234, "gross_amount": 1480, "payment_term": 30,
        "sent": "2026-06-14T23:30:00.000+0000",
        "from": {"contact": "jo@acme.example", "business": {"name": "Acme Design Ltd",
            "address_line_1": "1 High Street", "town": "Leeds", "post_code": "LS1 1AA",
            "bank-account": {"account_number": "12345678", "sort_code": "12-34-56"},
            "vat-registration": {"is_registered": true, "registration_number": "GB123456789"}}},
        "to": {"contact": "accounts@bloggs.example", "business": {"address_line_1": "9 Low Road",
            "town": "York"}}
    })");
    invoice->get("to").dictionary()->get("business").dictionary()->set("name", recipientName);
    return invoice;
}

TEST(InvoicePreviewPageTest, FillsEachPlaceholderOnceSoInsertedTextStaysAsTyped)
{
    struct Case {
        const char* templateText;
        const char* invoice;
        const char* expected;
    };
    const Case cases[] {
        { "<s>{style}</s><m>{moment}</m><i>{invoice}</i>", "{}", "<s>CSS</s><m>JS</m><i>{}</i>" },
        { "{invoice}", R"({"description":"{style} and {moment}"})",
            R"({"description":"{style} and {moment}"})" },
        { "{invoice}{invoice}", "1", "11" },
        { "{ {invoice {style}} {}", "X", "{ {invoice CSS} {}" },
        { "ends with a brace {", "X", "ends with a brace {" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(InvoicePreviewPage::fill(c.templateText, c.invoice, "CSS", "JS"), c.expected)
            << c.templateText;
}

TEST(InvoicePreviewPageTest, TheInvoiceLiteralCannotEndTheScriptOrStartMarkup)
{
    auto invoice = record(R"({"description": "</script><b>&amp;", "note": "a\u2028b\u2029c"})");

    std::string literal = InvoicePreviewPage::scriptLiteral(Value(invoice));

    EXPECT_EQ(literal.find('<'), std::string::npos);
    EXPECT_EQ(literal.find('>'), std::string::npos);
    EXPECT_EQ(literal.find('&'), std::string::npos);
    EXPECT_EQ(literal.find("\xE2\x80\xA8"), std::string::npos);
    EXPECT_THAT(literal, testing::HasSubstr(R"(\u003c/script\u003e\u003cb\u003e\u0026amp;)"));
    EXPECT_THAT(literal, testing::HasSubstr(R"(a\u2028b\u2029c)"));
    auto back = parseJson(literal);
    ASSERT_TRUE(back.ok());
    EXPECT_TRUE(back.value.dictionary()->equals(*invoice)) << "the literal is the same record";
}

TEST(InvoicePreviewPageTest, AMissingFileGivesTheErrorPageNamingIt)
{
    PreviewDocuments files;
    std::filesystem::remove(files.documents() / "style.css");

    auto page = InvoicePreviewPage::make(Value(vatInvoice()), files.documents());

    EXPECT_FALSE(page.ok);
    EXPECT_THAT(page.html, testing::HasSubstr("cannot be shown"));
    EXPECT_THAT(page.html, testing::HasSubstr("style.css"));
}

class InvoicePreviewScreenTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        registerNibs();
    }

    // Pushes a preview of `invoice` over a plain screen, as the editor does, and lets the push end.
    std::shared_ptr<InvoicePreviewViewController> open(const DictionaryRef& invoice)
    {
        auto preview = std::make_shared<InvoicePreviewViewController>(invoice);
        navigation = showStack({ below });
        navigation->pushViewController(preview, true);
        driver.wait(0.5);
        return preview;
    }

    bool busy(const InvoicePreviewViewController& preview) const
    {
        return !preview.invoicePreviewView()->loadingView()->isHidden()
            || !preview.invoicePreviewView()->spinnerContainer()->isHidden();
    }

    std::shared_ptr<platform::ui::ViewController> below = std::make_shared<platform::ui::ViewController>();
    std::shared_ptr<platform::ui::NavigationController> navigation;
};

TEST_F(InvoicePreviewScreenTest, ShowsTheWholeRecordInTheTemplateAndClosesWithTheChevron)
{
    PreviewDocuments files;
    auto preview = open(vatInvoice());

    const auto& html = preview->invoicePreviewView()->webView()->html();
    EXPECT_THAT(html, testing::HasSubstr(R"("sent":"2026-06-14T23:30:00.000+0000")"));
    EXPECT_THAT(html, testing::HasSubstr("Bloggs \\u0026 Sons"));
    EXPECT_THAT(html, testing::HasSubstr("moment"));
    EXPECT_THAT(html, testing::Not(testing::HasSubstr("{invoice}")));
    EXPECT_TRUE(preview->invoicePreviewView()->webView()->baseURL().empty());
    EXPECT_FALSE(busy(*preview));
    EXPECT_EQ(preview->invoicePreviewView()->navigationBar()->text(), "Invoice preview");
    EXPECT_EQ(preview->preferredStatusBarStyle(), platform::ui::StatusBarStyle::LightContent);

    tap("IconDownChevron");
    driver.wait(0.5);

    EXPECT_EQ(navigation->topViewController(), below);
}

TEST_F(InvoicePreviewScreenTest, AnUnreadableTemplateEndsTheBusyStateOnAnErrorPage)
{
    PreviewDocuments files;
    std::filesystem::remove(files.documents() / "template.html");

    auto preview = open(vatInvoice());

    EXPECT_THAT(preview->invoicePreviewView()->webView()->html(), testing::HasSubstr("cannot be shown"));
    EXPECT_FALSE(busy(*preview));
}

TEST_F(InvoicePreviewScreenTest, AFailedLoadEndsTheBusyStateOnAnErrorPage)
{
    PreviewDocuments files;
    auto preview = open(vatInvoice());
    auto view = preview->invoicePreviewView();
    view->showBusyView();

    view->didFailLoad(*view->webView(), { "about:blank", "The page went away." });
    settle();

    EXPECT_THAT(view->webView()->html(), testing::HasSubstr("The page went away."));
    EXPECT_FALSE(busy(*preview));
}

/// The preview page as a person sees it: the screen's HTML run by a real browser.
class InvoicePreviewInChromiumTest : public InvoicePreviewScreenTest {
protected:
    // Loads the preview of `invoice` into Chromium and keeps a picture of it named after the test.
    std::string render(const DictionaryRef& invoice)
    {
        auto preview = open(invoice);
        page.load(preview->invoicePreviewView()->webView()->html());
        auto name = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
        auto png = std::filesystem::absolute("screenshots") / (name + ".png");
        page.screenshot(png);
        std::cout << "screenshot: " << png.string() << std::endl;
        return page.text();
    }

    PreviewDocuments files;
    ::testing::ChromiumPage page;
};

TEST_F(InvoicePreviewInChromiumTest, ShowsBothPartiesTotalsBankDetailsAndDatesInLondonTime)
{
    std::string text = render(vatInvoice());

    for (const char* shown : { "Acme Design Ltd", "1 High Street", "jo@acme.example",
             "VAT number GB123456789", "Bloggs & Sons", "9 Low Road", "accounts@bloggs.example", "ACME007",
             "Website design", "£12.34", "£2.46", "£14.80", "12345678", "12-34-56" })
        EXPECT_THAT(text, testing::HasSubstr(shown));
    // 23:30 UTC on 14 June is 00:30 on 15 June in British Summer Time.
    EXPECT_THAT(text, testing::HasSubstr("15 June 2026"));
    EXPECT_THAT(text, testing::HasSubstr("15 July 2026"));
    EXPECT_THAT(page.dialogs(), testing::IsEmpty());
}

TEST_F(InvoicePreviewInChromiumTest, ARecipientNamedLikeAScriptIsShownNeverRun)
{
    std::string text = render(vatInvoice("<script>alert(1)</script>"));

    EXPECT_THAT(text, testing::HasSubstr("<script>alert(1)</script>"));
    EXPECT_THAT(text, testing::HasSubstr("£14.80")) << "the page's own script still ran";
    EXPECT_THAT(page.dialogs(), testing::IsEmpty());
}

TEST_F(InvoicePreviewInChromiumTest, LineItemsCarryTheAmountsOfAnInvoiceSentWithZeroTotals)
{
    auto invoice = vatInvoice();
    invoice->set("net_amount", 0);
    invoice->set("gross_amount", 0);
    invoice->set("line-items",
        parseJson(R"([
        {"description": "Logo", "quantity": 2, "unit_price": 1234, "tax": 20, "net_amount": 2468,
         "gross_amount": 2961},
        {"description": "Hosting", "quantity": 1, "unit_price": 500, "tax": 0, "net_amount": 500,
         "gross_amount": 500}])")
            .value);
    invoice->get("from").dictionary()->get("business").dictionary()->remove("bank-account");

    std::string text = render(invoice);

    for (const char* shown : { "Logo", "Hosting", "£24.68", "£5.00", "£29.68", "£4.93", "£34.61" })
        EXPECT_THAT(text, testing::HasSubstr(shown));
    EXPECT_THAT(text, testing::Not(testing::HasSubstr("£0.00")));
    EXPECT_THAT(text, testing::Not(testing::HasSubstr("Account number")));
}

}
}
