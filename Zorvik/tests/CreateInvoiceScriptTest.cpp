#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewView.h"
#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewViewController.h"
#include "Zorvik/Views/SendInvoiceResultView/SendInvoiceResultView.h"
#include "Zorvik/tests/CreateInvoiceFixture.h"
#include "Zorvik/tests/PreviewDocuments.h"
#include "platform/foundation/Files.h"
#include "testing/ChromiumPage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

namespace zorvik::test {
namespace {

using CreateInvoiceScriptTest = CreateInvoiceTest;

// Runs Zorvik/tests/create-invoice.script as a person would, keeps its transcript and a picture of the
// preview it opened (both under screenshots/), and checks that the invoice went out.
TEST_F(CreateInvoiceScriptTest, TheScriptWritesPreviewsAndSendsAnInvoice)
{
    addBankAccount("12345678", "12-34-56");
    PreviewDocuments files;
    open();
    screen->companyConfirmed(recipient());

    auto script = platform::foundation::Files::readText(
        std::filesystem::path(ZORVIK_REPOSITORY_DIR) / "Zorvik/tests/create-invoice.script");
    ASSERT_TRUE(script);
    std::istringstream lines(*script);
    std::string transcript;
    std::string previewHTML;
    for (std::string line; std::getline(lines, line);) {
        transcript += "> " + line + "\n";
        ASSERT_NO_THROW(transcript += driver.execute(line)) << line;
        layout();
        if (auto preview
            = std::dynamic_pointer_cast<InvoicePreviewViewController>(navigation->topViewController()))
            previewHTML = preview->invoicePreviewView()->webView()->html();
    }
    ASSERT_TRUE(waitUntil([&] { return !form->resultView()->isHidden(); })) << "the back-end answers";
    for (const char* line : { "screen", "wait 1.5", "screen" }) {
        transcript += std::string("> ") + line + "\n";
        transcript += driver.execute(line);
    }

    auto folder = std::filesystem::absolute("screenshots");
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(platform::foundation::Files::writeText(folder / "create-invoice-transcript.txt", transcript));
    ::testing::ChromiumPage page;
    page.load(previewHTML);
    page.screenshot(folder / "create-invoice-preview.png");
    std::cout << "transcript: " << (folder / "create-invoice-transcript.txt").string() << "\n"
              << "screenshot: " << (folder / "create-invoice-preview.png").string() << std::endl;

    EXPECT_THAT(
        page.text(), testing::AllOf(testing::HasSubstr("Bloggs & Sons"), testing::HasSubstr("£14.80")));
    EXPECT_EQ(navigation->topViewController(), folders);
    ASSERT_EQ(posts(), 1u);
    auto body = backend().lastRequest()->json().dictionary();
    EXPECT_EQ(body->get("gross_amount"), 1480);
}

}
}
