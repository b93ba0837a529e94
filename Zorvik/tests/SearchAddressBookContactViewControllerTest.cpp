#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SearchAddressBookContactViewController.h"
#include "Zorvik/Controllers/CompanySummaryControllers/AddressBookSearchViewTableDatasource.h"
#include "Zorvik/Views/SearchView/EditableSearchView.h"
#include "Zorvik/Views/SearchView/EmptySearchResultsView.h"
#include "Zorvik/tests/SearchFixture.h"
#include "platform/foundation/Files.h"
#include "testing/TemporaryDirectory.h"

#include <gmock/gmock.h>

namespace zorvik::test {
namespace {

using ::testing::ElementsAre;

/// The screen that opens the e-mail picker, as the invoice editor does, noting the addresses it is given.
class EmailOpener : public platform::ui::ViewController, public AddressBookContactSearchViewDelegate {
public:
    std::string className() const override { return "EmailOpener"; }
    void addContactEmailFromSearch(const std::string& email) override { heard.push_back(email); }

    std::vector<std::string> heard;
};

constexpr const char* kAddressBook = R"([
    {"givenName": "bob", "familyName": "Jones", "emailAddresses": ["bob@jones.org"]},
    {"givenName": "Anna", "familyName": "Smith", "emailAddresses": ["anna@home.com", "a.smith@work.com"]},
    {"givenName": "Dan", "familyName": "Brown"},
    {"emailAddresses": ["nobody@example.com"]}
])";

class SearchAddressBookContactViewControllerTest : public SearchTest {
protected:
    void SetUp() override
    {
        SearchTest::SetUp();
        auto file = m_folder.path() / "contacts.json";
        ASSERT_TRUE(platform::foundation::Files::writeText(file, kAddressBook));
        driver.execute("contacts " + file.string());
        opener = std::make_shared<EmailOpener>();
        show(opener);
    }

    /// Opens the picker with `recipientEmail` and waits until the contacts are loaded and searched, and the
    /// status row has settled (the load's search and the row's next tick, 0.3 s each).
    void open(std::optional<std::string> recipientEmail)
    {
        picker = std::make_shared<SearchAddressBookContactViewController>(std::move(recipientEmail));
        picker->setDelegate(opener);
        navigation->pushViewController(picker, true);
        driver.wait(0.5);
        ASSERT_TRUE(runUntil([this] { return picker->addressBookDatasource()->allContacts().has_value(); }));
        driver.wait(0.6);
    }

    std::vector<std::string> rows()
    {
        return SearchTest::rows(*picker->editableSearchView()->searchItemsTableView());
    }
    bool emptyViewShows() const { return !picker->addressBookDatasource()->emptyView()->isHidden(); }

    std::shared_ptr<EmailOpener> opener;
    std::shared_ptr<SearchAddressBookContactViewController> picker;

private:
    ::testing::TemporaryDirectory m_folder;
};

TEST_F(SearchAddressBookContactViewControllerTest, TheFirstTermDecidesTheFirstRows)
{
    const std::vector<std::string> everyone { "nobody@example.com", "Anna Smith / anna@home.com",
        "Anna Smith / a.smith@work.com", "bob Jones / bob@jones.org" };
    struct Case {
        const char* name;
        std::optional<std::string> recipientEmail;
        std::vector<std::string> rows;
    } cases[] = {
        { "no address", std::nullopt, everyone },
        { "an empty address", "", everyone },
        { "a known address", "bob@jones.org", { "bob@jones.org", "bob Jones / bob@jones.org" } },
        { "an unknown address", "carol@", { "carol@", "No matching contacts found." } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        navigation->popToViewController(*opener, false);
        open(c.recipientEmail);
        EXPECT_EQ(rows(), c.rows);
        EXPECT_TRUE(picker->editableSearchView()->loadingView()->isHidden());
        EXPECT_EQ(picker->editableSearchView()->title(), "Email contacts");
    }
}

TEST_F(SearchAddressBookContactViewControllerTest, TheSpinnerTurnsUntilTheContactsAreLoaded)
{
    picker = std::make_shared<SearchAddressBookContactViewController>();
    picker->loadViewIfNeeded();
    EXPECT_FALSE(picker->editableSearchView()->loadingView()->isHidden());
    EXPECT_THAT(rows(), ::testing::IsEmpty());
    EXPECT_TRUE(emptyViewShows());
}

TEST_F(SearchAddressBookContactViewControllerTest, TypingFiltersAndAPickHandsOverAnAddress)
{
    struct Case {
        const char* type;
        std::vector<std::string> rows;
        const char* tap;
        const char* heard;
    } cases[] = {
        { "SM", { "SM", "Anna Smith / anna@home.com", "Anna Smith / a.smith@work.com" }, "a.smith@work.com",
            "a.smith@work.com" },
        { "anna s", { "anna s", "Anna Smith / anna@home.com", "Anna Smith / a.smith@work.com" },
            "anna@home.com", "anna@home.com" },
        { "nob", { "nob", "nobody@example.com" }, "nobody@example.com", "nobody@example.com" },
        { "not an address", { "not an address", "No matching contacts found." }, "IconAddEmail",
            "not an address" },
        { "x@y", { "x@y", "No matching contacts found." }, "done", "x@y" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        opener->heard.clear();
        open(std::nullopt);
        driver.type(c.type);
        driver.wait(0.9);
        EXPECT_EQ(rows(), c.rows);
        driver.tap(c.tap);
        driver.wait(0.5);
        EXPECT_THAT(opener->heard, ElementsAre(c.heard));
        EXPECT_EQ(navigation->topViewController(), opener) << "the picker is gone";
    }
}

TEST_F(SearchAddressBookContactViewControllerTest, BackTellsNothing)
{
    open("bob@jones.org");
    driver.tap("BtnTealLessThan");
    driver.wait(0.5);
    EXPECT_TRUE(opener->heard.empty());
    EXPECT_EQ(navigation->topViewController(), opener);
}

TEST_F(SearchAddressBookContactViewControllerTest, WithoutAccessTheListIsEmpty)
{
    for (const char* status : { "denied", "restricted" }) {
        SCOPED_TRACE(status);
        driver.execute(std::string("contacts-access ") + status);
        navigation->popToViewController(*opener, false);
        open(std::nullopt);
        EXPECT_THAT(rows(), ::testing::IsEmpty());
        EXPECT_TRUE(emptyViewShows());
        driver.type("a");
        driver.wait(0.9);
        EXPECT_THAT(rows(), ElementsAre("a", "No matching contacts found."));
    }
}

}
}
