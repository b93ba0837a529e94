#pragma once

#include "Zorvik/DeviceStorage/UserStore.h"
#include "Zorvik/ViewControllers/CreateInvoiceViewController.h"
#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceView.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "Zorvik/tests/FrameFixture.h"
#include "ZorvikAPI/models/BankAccount.h"
#include "ZorvikAPI/models/Business.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/http/SessionManager.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/BackendFixture.h"
#include "testing/backend/OutcomeLog.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace zorvik::test {

/// A signed-in phone with the New Invoice screen open over the folders screen: a local back-end with the
/// account of kEmail and its business "Acme Design Ltd" (invoices read, so an empty list), the library
/// wired to it, an active device user for kEmail on a device of its own, the app's nibs, and the screen
/// driver. The recipient is set as the recipient picker sets it (companyConfirmed).
class CreateInvoiceTest : public ::testing::BackendFixture, public FramePhone {
protected:
    static constexpr const char* kEmail = "ann@acme.example";

    void SetUp() override
    {
        ::testing::BackendFixture::SetUp();
        start();
        registerNibs();
        platform::foundation::Files::setHomeDirectory(m_home.path());
        UserStore::resetSharedStore();
        auto& store = UserStore::sharedStore();
        auto user = store.createUserWithUsername(kEmail);
        user.setIsActiveUser(true);
        store.updateStore();

        sender = signUp(kEmail);
        auto created = createBusiness(sender,
            api::Business::withName("Acme Design Ltd", "01234567", "1 High Street", "", "Leeds", "",
                "LS1 1AA", "United Kingdom"));
        ASSERT_TRUE(created);
        ::testing::OutcomeLog log;
        business().invoices(log.list("ok"), log.note("notFound"), log.failure());
        ::testing::settle(log);
        ASSERT_EQ(log.only(), "ok");
    }

    void TearDown() override
    {
        stop();
        UserStore::resetSharedStore();
        platform::foundation::Files::setHomeDirectory({});
        ::testing::BackendFixture::TearDown();
    }

    api::Business business() const { return *sender.business(); }

    /// Gives the business a bank account on the back-end.
    void addBankAccount(const std::string& number, const std::string& sortCode)
    {
        ::testing::OutcomeLog log;
        business().createBankAccount(api::BankAccount::withAccountNumber(number, sortCode),
            log.typed<api::BankAccount>(), log.note("exists"), log.failure());
        ::testing::settle(log);
        ASSERT_EQ(log.only(), "ok");
    }

    /// Opens the New Invoice screen (a copy of `duplicate` when given) over the folders screen.
    void open(platform::foundation::DictionaryRef duplicate = nullptr)
    {
        folders = std::make_shared<FoldersViewControllerObjc>();
        screen = std::make_shared<CreateInvoiceViewController>(sender, duplicate);
        navigation = showStack({ folders, screen });
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

    /// Runs the main queue, waiting in real time for the back-end's answers, until `done`.
    bool waitUntil(const std::function<bool()>& done)
    {
        bool ok = platform::foundation::mainQueue().runUntil(done);
        layout();
        return ok;
    }

    /// How many invoices the back-end was asked to create.
    std::size_t posts() const
    {
        std::size_t count = 0;
        for (const auto& request : const_cast<CreateInvoiceTest*>(this)->backend().requests())
            if (request.method == "POST" && request.path.ends_with("/invoices"))
                ++count;
        return count;
    }

    api::Freelancer sender { platform::foundation::Dictionary::make() };
    std::shared_ptr<FoldersViewControllerObjc> folders;
    std::shared_ptr<CreateInvoiceViewController> screen;
    std::shared_ptr<CreateInvoiceView> form;
    std::shared_ptr<platform::ui::NavigationController> navigation;

private:
    ::testing::TemporaryDirectory m_home;
};

}
