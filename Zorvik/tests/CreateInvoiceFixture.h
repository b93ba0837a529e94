#pragma once

#include "Zorvik/ViewControllers/CreateInvoiceViewController.h"
#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/Views/ContentView/ContentViewObjc.h"
#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceView.h"
#include "Zorvik/tests/SignedInFixture.h"
#include "ZorvikAPI/models/BankAccount.h"
#include "ZorvikAPI/models/Business.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "testing/backend/OutcomeLog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace zorvik::test {

/// The signed-in phone with the New Invoice screen open over the folders screen, as the folders screen
/// opens it: the business's invoices read (an empty list), then [folders, New Invoice] on the app's
/// navigation controller. The recipient is set as the recipient picker sets it (companyConfirmed).
class CreateInvoiceTest : public SignedInFixture {
protected:
    void SetUp() override
    {
        SignedInFixture::SetUp();
        if (HasFatalFailure())
            return;
        ::testing::OutcomeLog log;
        business().invoices(log.list("ok"), log.note("notFound"), log.failure());
        ASSERT_TRUE(::testing::settle(log));
        ASSERT_EQ(log.only(), "ok") << "reading the invoices";
    }

    void TearDown() override
    {
        unsetenv("ZORVIK_PHOTO_URL");
        SignedInFixture::TearDown();
    }

    /// The app's own pictures in place of the frame tests' few, and the back-end as the photo store.
    void useAppResources()
    {
        platform::foundation::Files::setBundleDirectory(
            std::filesystem::path(ZORVIK_REPOSITORY_DIR) / "resources");
        setenv("ZORVIK_PHOTO_URL", backend().baseUrl().c_str(), 1);
    }

    /// Adds the sample picture as the business's logo through `view`'s logo area, as a person does ("Add
    /// logo", "Select Photo", the picture), and waits until it is uploaded and shown.
    void addLogo(const ContentViewObjc& view)
    {
        tap("Add logo");
        driver.wait(0.5);
        driver.pickAlertAction("Select Photo");
        driver.wait(1);
        driver.pickImage();
        ASSERT_TRUE(waitUntil([&] { return view.spinnerContainer()->isHidden(); }));
        driver.wait(1);
    }

    /// Saves `number` and `sortCode` as the business's bank account on the back-end and in the live record.
    void addBankAccount(const std::string& number, const std::string& sortCode)
    {
        ::testing::OutcomeLog log;
        bankAccount().updateWithChanges(api::BankAccount::withAccountNumber(number, sortCode).record(),
            log.note("ok"), log.note("notFound"), log.failure());
        ASSERT_TRUE(::testing::settle(log));
        ASSERT_EQ(log.only(), "ok") << "saving the bank account";
    }

    /// Opens the New Invoice screen (a copy of `duplicate` when given) over the folders screen.
    void open(platform::foundation::DictionaryRef duplicate = nullptr)
    {
        folders = std::make_shared<FoldersViewControllerObjc>(freelancer());
        screen = std::make_shared<CreateInvoiceViewController>(freelancer(), duplicate);
        navigation = showScreens({ folders, screen });
        form = screen->createInvoiceView();
    }

    /// The recipient a picker hands back.
    static platform::foundation::DictionaryRef recipient(const std::string& name = "Bloggs & Sons")
    {
        return api::Business::withName(name, "", "9 Low Road", "", "York", "", "YO1 1AA", "").record();
    }

    /// Types a complete invoice: £12.34 (with VAT when `vat`) for "Website design" to Bloggs & Sons at
    /// accounts@bloggs.example.
    void fillIn(bool vat = false)
    {
        tap("£0.00");
        driver.type("1234");
        if (vat)
            tap("add VAT");
        tap("Next");
        driver.type("Website design");
        screen->companyConfirmed(recipient());
        layout();
        driver.type("accounts@bloggs.example");
    }

    /// How many invoices the back-end was asked to create.
    std::size_t posts()
    {
        std::size_t count = 0;
        for (const auto& request : backend().requests())
            if (request.method == "POST" && request.path.ends_with("/invoices"))
                ++count;
        return count;
    }

    std::shared_ptr<FoldersViewControllerObjc> folders;
    std::shared_ptr<CreateInvoiceViewController> screen;
    std::shared_ptr<CreateInvoiceView> form;
    std::shared_ptr<NoHistoryNavigationController> navigation;
};

}
