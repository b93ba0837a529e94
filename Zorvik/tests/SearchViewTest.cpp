#include "Zorvik/Controllers/CompanySummaryControllers/CompanySearchViewTableDatasource.h"
#include "Zorvik/Models/ReusableTimerObjc.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SearchViewController.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBar/NavigationBarTheme.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditObjc.h"
#include "Zorvik/Views/SearchView/EditableSearchView.h"
#include "Zorvik/Views/SearchView/EmptySearchResultsView.h"
#include "Zorvik/Views/SearchView/SearchControllerProtocol.h"
#include "Zorvik/Views/SearchView/SearchStatusTableCell.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "Zorvik/tests/SearchFixture.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/TextField.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace zorvik::test {
namespace {

using platform::foundation::DictionaryRef;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

/// A company search screen as the pickers build it, telling the test what the user picked.
class CompanySearchScreen : public SearchViewController, public SearchControllerProtocol {
public:
    std::string className() const override { return "CompanySearchScreen"; }

    void loadView() override
    {
        auto scheme = SearchView::companySearchLightColourScheme();
        emptyView
            = EmptySearchResultsView::make(*scheme->emptyViewColourScheme(), "We will search our database.");
        datasource = std::make_shared<CompanySearchViewTableDatasource>(scheme, emptyView);
        auto theme = NavigationBarModeEditObjc::defaultEditingTheme();
        theme->setPositiveText(platform::ui::AttributedString("done"));
        theme->setBackImage(platform::ui::Image::named("BtnTealLessThan"));
        theme->setBackText(std::nullopt);
        view = EditableSearchView::make(
            datasource, scheme, theme, "Invoice recipient name", std::make_shared<ReusableTimerObjc>());
        view->setController(std::dynamic_pointer_cast<SearchControllerProtocol>(shared_from_this()));
        setView(view);
    }

    std::shared_ptr<SearchViewProtocol> searchView() const override { return view; }

    void navigateBack() override
    {
        ++backs;
        navigationController()->popViewController(true);
    }

    void searchItemSelected(const SearchItem& item) override
    {
        picked.push_back(item);
        keyboardUpWhenPicked = platform::ui::Keyboard::shared().isVisible();
    }

    std::shared_ptr<EditableSearchView> view;
    std::shared_ptr<CompanySearchViewTableDatasource> datasource;
    std::shared_ptr<EmptySearchResultsView> emptyView;
    std::vector<SearchItem> picked;
    bool keyboardUpWhenPicked { true };
    int backs { 0 };
};

/// A picked item as text: "text <t>", "record <key>=<value>,..." or "contact <first>|<family>|<email>".
std::string describe(const SearchItem& item)
{
    if (auto text = std::get_if<std::string>(&item))
        return "text " + *text;
    if (auto record = std::get_if<DictionaryRef>(&item)) {
        std::string description = "record";
        for (const auto& [key, value] : (*record)->entries())
            description += " " + key + "=" + value.stringValue();
        return description;
    }
    const auto& contact = std::get<AddressBookContact>(item);
    return "contact " + contact.firstName().value_or("-") + "|" + contact.familyName().value_or("-") + "|"
        + contact.email().value_or("-");
}

class SearchViewTest : public SearchTest {
protected:
    void SetUp() override
    {
        SearchTest::SetUp();
        show(std::make_shared<platform::ui::ViewController>());
        screen = std::make_shared<CompanySearchScreen>();
        show(screen);
    }

    void TearDown() override
    {
        screen.reset();
        SearchTest::TearDown();
    }

    /// Types `term`, lets the delay pass and waits for the answer and the status row's next text.
    void search(const std::string& term)
    {
        driver.type(term);
        driver.wait(SearchView::searchDelay);
        ASSERT_TRUE(waitForAnswer(*screen->view));
        driver.wait(SearchStatusTableCell::tickInterval);
    }

    std::vector<std::string> rows() { return SearchTest::rows(*screen->view->searchItemsTableView()); }
    bool emptyViewShows() const { return !screen->emptyView->isHidden(); }

    std::shared_ptr<CompanySearchScreen> screen;
};

TEST_F(SearchViewTest, AFreshScreenTypesIntoItsFieldOverTheEmptyView)
{
    EXPECT_THAT(rows(), IsEmpty());
    EXPECT_TRUE(emptyViewShows());
    EXPECT_TRUE(typingInto(*screen->view->searchTextField()));
    EXPECT_EQ(screen->view->title(), "Invoice recipient name");
    EXPECT_TRUE(screen->view->navigationBar()->positiveButtonHidden());
}

TEST_F(SearchViewTest, TheFieldIsFocusedShortlyAfterAnAnimatedArrival)
{
    auto second = std::make_shared<CompanySearchScreen>();
    navigation->pushViewController(second, true);
    driver.wait(0.5);
    EXPECT_TRUE(typingInto(*second->view->searchTextField())) << driver.screen();
}

TEST_F(SearchViewTest, KeystrokesWithinTheDelaySearchOnceForTheWholeTerm)
{
    struct Case {
        const char* name;
        std::vector<double> pauses; // before the second and the third key
        std::vector<std::string> searches;
    } cases[] = {
        { "three keys within 0.3 s", { 0.1, 0.1 }, { "Amb" } },
        { "a pause of 0.3 s after each key", { 0.3, 0.3 }, { "A", "Am", "Amb" } },
        { "a pause just short, then one long enough", { 0.29, 0.31 }, { "Am", "Amb" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        screen->view->setSearchTerm("");
        driver.wait(SearchView::searchDelay);
        ASSERT_TRUE(waitForAnswer(*screen->view));
        backend().clearRequests();
        std::string term = "Amb";
        for (std::size_t key = 0; key < term.size(); ++key) {
            if (key > 0)
                driver.wait(c.pauses[key - 1]);
            driver.type(term.substr(key, 1));
        }
        driver.wait(SearchView::searchDelay);
        ASSERT_TRUE(waitForAnswer(*screen->view));
        runFor(50);
        auto asked = searches();
        std::sort(asked.begin(), asked.end());
        EXPECT_EQ(asked, c.searches);
    }
}

TEST_F(SearchViewTest, RowsFollowTheRegistersAnswer)
{
    struct Case {
        const char* term;
        int failure; // 0: the register answers
        std::vector<std::string> rows;
    } cases[] = {
        { "Amberly", 0, { "Amberly", "Amberly Joinery Ltd", "Amberly Print & Design Ltd" } },
        { "Zzyzx", 0, { "Zzyzx", "No matching companies found." } },
        { "Amberly", 500, { "Amberly", "Could not search companies." } },
        { "Amberly", 404, { "Amberly", "Could not search companies." } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.term) + " " + std::to_string(c.failure));
        backend().clearHooks();
        if (c.failure)
            backend().failRoute("GET", "/companies", c.failure);
        driver.deleteBackward(screen->view->searchTerm().size());
        search(c.term);
        EXPECT_EQ(rows(), c.rows);
        EXPECT_FALSE(emptyViewShows());
        EXPECT_FALSE(screen->view->navigationBar()->positiveButtonHidden()) << "done takes the typed name";
    }
}

TEST_F(SearchViewTest, ATermErasedAfterASearchLeavesNoRowsOverTheEmptyView)
{
    search("Amberly");
    ASSERT_EQ(rows().size(), 3u);
    driver.deleteBackward(7);
    driver.wait(SearchView::searchDelay);
    ASSERT_TRUE(waitForAnswer(*screen->view));
    EXPECT_THAT(rows(), IsEmpty());
    EXPECT_TRUE(emptyViewShows());
    EXPECT_TRUE(screen->view->navigationBar()->positiveButtonHidden());
}

TEST_F(SearchViewTest, ASlowAnswerOvertakenByALaterTermIsDropped)
{
    backend().delayRoute("GET", "/companies", 0.8, 1);
    driver.type("Amberly");
    driver.wait(SearchView::searchDelay);
    ASSERT_TRUE(runUntil([this] { return searches().size() == 1; }));
    driver.deleteBackward(7);
    driver.type("Copper");
    driver.wait(SearchView::searchDelay);
    ASSERT_TRUE(waitForAnswer(*screen->view));
    EXPECT_THAT(rows(), ElementsAre("Copper", "Copperfinch Software Ltd"));

    runFor(1200);
    EXPECT_THAT(rows(), ElementsAre("Copper", "Copperfinch Software Ltd"))
        << "the answer for \"Amberly\" came last and was dropped";
}

TEST_F(SearchViewTest, TheStatusRowCyclesWhileASearchRunsAndRestsWhenTheScreenHasGone)
{
    search("Zzyzx");
    ASSERT_THAT(rows(), ElementsAre("Zzyzx", "No matching companies found."));
    backend().delayRoute("GET", "/companies", 0.5, 1);
    driver.type("q");
    struct Step {
        double at;
        const char* status;
    } steps[] = { { 0, "No matching companies found." }, { 0.3, "Searching companies" },
        { 0.6, "Searching companies." }, { 0.9, "Searching companies.." } };
    double now = 0;
    for (const auto& step : steps) {
        driver.wait(step.at - now);
        now = step.at;
        EXPECT_THAT(rows(), ElementsAre("Zzyzxq", step.status)) << "at " << step.at << " s";
    }

    std::weak_ptr<SearchStatusTableCell> status = screen->datasource->searchStatusTableCell();
    std::weak_ptr<CompanySearchScreen> gone = screen;
    driver.tap("BtnTealLessThan");
    driver.wait(0.5);
    EXPECT_EQ(screen->backs, 1);
    screen.reset();
    runFor(700);
    driver.wait(1);
    EXPECT_TRUE(gone.expired());
    EXPECT_TRUE(status.expired()) << "the status row's timer keeps nothing alive";
    EXPECT_EQ(platform::foundation::mainQueue().pendingCount(), 0u) << "nothing ticks any more";
}

TEST_F(SearchViewTest, PickingARowHandsItsItemOverOnceTheKeyboardIsDown)
{
    struct Case {
        const char* tap;
        std::string picked; // "" when nothing is picked
    } cases[] = {
        { "AddPersonBlack", "record name=Amberly" },
        { "Amberly Print & Design Ltd",
            "record address_line_1=12 Fountain Street address_line_2= country=England county=West Yorkshire "
            "name=Amberly Print & Design Ltd post_code=LS1 4TY registration_number=09218374 town=Leeds" },
        { "done", "text Amberly" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tap);
        driver.deleteBackward(screen->view->searchTerm().size());
        search("Amberly");
        screen->picked.clear();
        driver.tap(c.tap);
        ASSERT_EQ(screen->picked.size(), 1u);
        EXPECT_EQ(describe(screen->picked.front()), c.picked);
        if (std::string(c.tap) != "done") {
            EXPECT_FALSE(screen->keyboardUpWhenPicked);
        }
        screen->view->focusSearchField();
    }
}

TEST_F(SearchViewTest, TheStatusRowIsNoItem)
{
    search("Zzyzx");
    driver.tap("No matching companies found.");
    EXPECT_THAT(screen->picked, IsEmpty());
    EXPECT_TRUE(typingInto(*screen->view->searchTextField())) << "the keyboard stays";
}

TEST_F(SearchViewTest, TheDoneButtonComesWithTheFirstCharacterAndGoesWithTheLast)
{
    auto bar = screen->view->navigationBar();
    driver.type("A");
    EXPECT_FALSE(bar->positiveButtonHidden());
    driver.deleteBackward();
    EXPECT_TRUE(bar->positiveButtonHidden());
    driver.type("B");
    EXPECT_FALSE(bar->positiveButtonHidden());
}

}
}
