#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SelectInvoiceRecipientViewController.h"
#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverView.h"
#include "Zorvik/Views/SearchView/EditableSearchView.h"
#include "Zorvik/tests/SearchFixture.h"
#include "ZorvikAPI/models/Business.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/TextField.h"

#include <gmock/gmock.h>

namespace zorvik::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

/// The screen that opens the picker, as the invoice editor does, noting what it is told.
class OpenerScreen : public platform::ui::ViewController,
                     public SelectInvoiceRecipientSummaryControllerDelegate {
public:
    std::string className() const override { return "OpenerScreen"; }

    void companyConfirmed(const DictionaryRef& business) override
    {
        api::Business record(business);
        heard.push_back(record.name().value_or("-") + ", " + record.town().value_or("-") + ", "
            + record.country().value_or("-"));
    }

    std::vector<std::string> heard;
};

class SelectInvoiceRecipientViewControllerTest : public SearchTest {
protected:
    /// Opens the picker over the opener, as the invoice editor does.
    void open(DictionaryRef firstRecipient)
    {
        opener = std::make_shared<OpenerScreen>();
        show(opener);
        picker = std::make_shared<SelectInvoiceRecipientViewController>(opener, firstRecipient, opener);
        navigation->pushViewController(picker, true);
        driver.wait(0.5);
    }

    /// Runs a step: a screen driver command, or "answer" (the delay passes and the register answers).
    void step(const std::string& line)
    {
        if (line == "answer") {
            driver.wait(SearchView::searchDelay);
            ASSERT_TRUE(waitForAnswer(*picker->editableSearchView()));
            return;
        }
        driver.execute(line);
    }

    /// The face on screen: "search <term>", "details <company name field>", or "closed".
    std::string face() const
    {
        if (navigation->topViewController() != picker)
            return "closed";
        if (picker->detailsView()->window() && picker->detailsView()->superview()
            && picker->view()->subviews().back() == picker->detailsView())
            return "details " + picker->detailsView()->companyNameTextField()->text();
        return "search " + picker->editableSearchView()->searchTerm();
    }

    std::shared_ptr<OpenerScreen> opener;
    std::shared_ptr<SelectInvoiceRecipientViewController> picker;
};

TEST_F(SelectInvoiceRecipientViewControllerTest, EachTransitionOfThePicker)
{
    auto quillon = [] {
        return api::Business::withName(
            "Quillon Legal Services Ltd", "09456781", "31 Fleetside", "", "London", "", "EC4A 2BB", "England")
            .record();
    };
    struct Case {
        const char* name;
        std::function<DictionaryRef()> firstRecipient;
        std::vector<std::string> steps;
        std::string face;
        bool editing;
        std::vector<std::string> heard;
    } cases[] = {
        { "opens on the search", nullptr, {}, "search ", false, {} },
        { "back on the first search closes, telling nothing", nullptr, { "tap BtnTealLessThan", "wait 0.5" },
            "closed", false, {} },
        { "a register row shows its details", nullptr,
            { "type Amberly", "answer", "tap Amberly Joinery Ltd" }, "details Amberly Joinery Ltd", false,
            {} },
        { "done takes the typed name", nullptr, { "type Acme Widgets", "tap done" }, "details Acme Widgets",
            false, {} },
        { "the typed-term row takes the name too", nullptr, { "type Acme", "answer", "tap AddPersonBlack" },
            "details Acme", false, {} },
        { "done on the details confirms the form", nullptr,
            { "type Amberly", "answer", "tap Amberly Joinery Ltd", "tap done", "wait 0.5" }, "closed", false,
            { "Amberly Joinery Ltd, Tewkesbury, " } },
        { "back on the details confirms too", nullptr,
            { "type Acme Widgets", "tap done", "tap BtnTealLessThan", "wait 0.5" }, "closed", false,
            { "Acme Widgets, , " } },
        { "searching again keeps the term left from before", nullptr,
            { "type Amberly", "answer", "tap Amberly Joinery Ltd", "tap Amberly Joinery Ltd" },
            "search Amberly", true, {} },
        { "back on a second search returns to the details", nullptr,
            { "type Amberly", "answer", "tap Amberly Joinery Ltd", "tap Amberly Joinery Ltd",
                "tap BtnTealLessThan" },
            "details Amberly Joinery Ltd", false, {} },
        { "a second search picks another company", nullptr,
            { "type Amberly", "answer", "tap Amberly Joinery Ltd", "tap Amberly Joinery Ltd", "answer",
                "tap Amberly Print & Design Ltd" },
            "details Amberly Print & Design Ltd", false, {} },
        { "a first recipient opens on its details", quillon, {}, "details Quillon Legal Services Ltd", false,
            {} },
        { "searching again starts from the shown name", quillon, { "tap Quillon Legal Services Ltd" },
            "search Quillon Legal Services Ltd", true, {} },
        { "a nameless recipient searches again from nothing",
            [] {
                return Dictionary::make({ { "town", "Leeds" } });
            },
            { "tap Company name" }, "search ", true, {} },
        { "the first recipient confirmed as it stands", quillon, { "tap done", "wait 0.5" }, "closed", false,
            { "Quillon Legal Services Ltd, London, " } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        navigation->setViewControllers({}, false);
        open(c.firstRecipient ? c.firstRecipient() : nullptr);
        for (const auto& line : c.steps) {
            step(line);
            if (::testing::Test::HasFatalFailure())
                return;
        }
        EXPECT_EQ(face(), c.face);
        EXPECT_EQ(picker->isEditing(), c.editing);
        EXPECT_EQ(opener->heard, c.heard);
        if (c.face.starts_with("search ")) {
            EXPECT_TRUE(typingInto(*picker->editableSearchView()->searchTextField())) << driver.screen();
        }
        if (c.face.starts_with("details ")) {
            EXPECT_FALSE(typingInto(*picker->editableSearchView()->searchTextField()))
                << "the keyboard types into the search field under the details:\n"
                << driver.screen();
        }
    }
}

TEST_F(SelectInvoiceRecipientViewControllerTest, TheOpenerHearsOnlyAfterThePopBegan)
{
    open(nullptr);
    std::vector<std::string> top;
    struct Listener : SelectInvoiceRecipientSummaryControllerDelegate {
        std::function<void()> confirmed;
        void companyConfirmed(const DictionaryRef&) override { confirmed(); }
    };
    auto listener = std::make_shared<Listener>();
    std::weak_ptr<SelectInvoiceRecipientViewController> weakPicker = picker;
    listener->confirmed = [&] {
        top.push_back(navigation->topViewController()->className());
        EXPECT_FALSE(weakPicker.expired()) << "the picker lives through the call";
    };
    picker = std::make_shared<SelectInvoiceRecipientViewController>(
        listener, api::Business::withName("Acme").record(), opener);
    weakPicker = picker;
    navigation->pushViewController(picker, false);
    driver.wait(0.5);
    picker.reset();
    driver.tap("done");
    driver.wait(0.5);
    EXPECT_THAT(top, ::testing::ElementsAre("OpenerScreen"));
    EXPECT_TRUE(weakPicker.expired()) << "closed, the picker goes";
}

}
}
