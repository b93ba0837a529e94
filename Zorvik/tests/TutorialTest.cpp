#include "Zorvik/Controllers/TutorialState/TutorialState.h"
#include "Zorvik/DeviceStorage/FileStore.h"
#include "Zorvik/DeviceStorage/SDK.h"
#include "Zorvik/Views/FoldersView/FoldersView.h"
#include "Zorvik/Views/UserHintsView/CreateInvoiceHint.h"
#include "Zorvik/Views/UserHintsView/FoldersTutorialView.h"
#include "Zorvik/Views/UserHintsView/UserSwipeHintsView.h"
#include "Zorvik/tests/FolderListFixture.h"
#include "platform/foundation/Log.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <optional>

namespace zorvik::test {
namespace {

using platform::foundation::ArrayRef;

class TutorialTest : public FolderListTest {
protected:
    void SetUp() override
    {
        FolderListTest::SetUp();
        platform::foundation::Files::setHomeDirectory(m_home.path());
    }

    void TearDown() override
    {
        platform::foundation::Log::setCapture({});
        platform::foundation::Files::setHomeDirectory({});
        FolderListTest::TearDown();
    }

    /// The home screen's view over `invoices`, in the window, with the Done tab open when `doneTab`.
    std::shared_ptr<FoldersView> showFolders(const ArrayRef& invoices, bool doneTab = false)
    {
        auto business = platform::foundation::Dictionary::make({ { "invoices", invoices } });
        auto freelancer
            = api::Freelancer(platform::foundation::Dictionary::make({ { "business", business } }));
        auto todo = FolderViewObjc::make(EmptyFolderSentViewObjc::make(),
            std::make_shared<SentInvoiceTableCellViewProviderObjc>(journal),
            std::make_shared<api::TodoFilter>());
        auto done = FolderViewObjc::make(EmptyFolderDoneViewObjc::make(),
            std::make_shared<PaidInvoiceTableCellViewProviderObjc>(journal),
            std::make_shared<api::DoneFilter>());
        auto view = FoldersView::make(freelancer, todo, done);
        view->setController(journal);
        view->setFrame(window->bounds());
        window->addSubview(view);
        view->loadInvoices(invoices);
        if (doneTab)
            view->showDoneView();
        layout();
        return view;
    }

    /// The "tutorial" file's text, or nullopt.
    static std::optional<std::string> tutorialFile() { return SDK::sdk().fs()->readFromFile("tutorial"); }

    /// A finger touches the middle of the screen.
    void touch() { window->hitTest({ 160, 300 }); }

private:
    ::testing::TemporaryDirectory m_home;
};

TEST_F(TutorialTest, AHintShowsForItsCaseAndATouchOnceItIsFullyShownRecordsIt)
{
    struct Case {
        const char* what;
        std::vector<std::vector<std::string>> histories;
        bool doneTab;
        double touchAfter;
        const char* hint;
        std::optional<std::string> file;
    };
    const Case cases[] = {
        { "no invoices, shown fully", {}, false, 2.8, "CreateInvoiceHint",
            R"({"shown_first_tutorial":true})" },
        { "no invoices, touched while waiting", {}, false, 1.0, "CreateInvoiceHint", std::nullopt },
        { "no invoices, touched while it grows", {}, false, 2.6, "CreateInvoiceHint", std::nullopt },
        { "one To-Do invoice, shown fully", { { "todo" } }, false, 2.6, "UserSwipeHintsView",
            R"({"shown_second_tutorial":true})" },
        { "one To-Do invoice, touched while it fades in", { { "todo" } }, false, 2.3, "UserSwipeHintsView",
            std::nullopt },
        { "one To-Do invoice, the Done tab open", { { "todo" } }, true, 3.0, "", std::nullopt },
        { "one invoice already in Done", { { "todo", "done" } }, false, 3.0, "", std::nullopt },
        { "two To-Do invoices", { { "todo" }, { "todo" } }, false, 3.0, "", std::nullopt },
    };
    for (const auto& c : cases) {
        SDK::sdk().fs()->removeFile("tutorial");
        auto invoices = platform::foundation::Array::make();
        int id = 1;
        for (const auto& history : c.histories)
            invoices->append(invoice(id++, 1, history));
        auto view = showFolders(invoices, c.doneTab);
        auto tutorial = view->tutorialView();
        advance(c.touchAfter);
        auto hint = tutorial->currentHint();
        if (hint && hint->isHidden())
            hint = nullptr;
        EXPECT_EQ(hint ? hint->className() : "", c.hint) << c.what;
        touch();
        EXPECT_EQ(tutorialFile(), c.file) << c.what;
        if (hint) {
            EXPECT_TRUE(hint->isHidden()) << c.what << ": any touch hides it";
            EXPECT_EQ(tutorial->currentHint() == hint, !c.file)
                << c.what << ": an early touch leaves it current";
        }
        view->removeFromSuperview();
    }
}

TEST_F(TutorialTest, TheHintsGoForGoodWithTheirActionsAndComeBackWhenTheViewReturns)
{
    auto view = showFolders(platform::foundation::Array::make());
    auto tutorial = view->tutorialView();
    EXPECT_EQ(tutorial->currentHint(), tutorial->createInvoiceHint());
    view->removeFromSuperview();
    EXPECT_TRUE(tutorial->isObscured());
    EXPECT_TRUE(tutorial->createInvoiceHint()->isHidden()) << "covered by another screen";
    window->addSubview(view);
    EXPECT_FALSE(tutorial->createInvoiceHint()->isHidden()) << "back, not yet seen";
    tap("New invoice");
    EXPECT_EQ(journal->entries, (std::vector<std::string> { "create" }));
    EXPECT_EQ(tutorialFile(), R"({"shown_first_tutorial":true})");

    auto one = platform::foundation::Array::make({ invoice(1, 1) });
    view->setInvoices(one);
    EXPECT_EQ(tutorial->currentHint(), tutorial->swipeHint());
    EXPECT_EQ(tutorial->swipeHint()->text(), "Swipe right when paid & done");
    EXPECT_EQ(tutorial->swipeHint()->icon(), 1);
    tap("Done");
    EXPECT_TRUE(tutorial->swipeHint()->isHidden()) << "the Done tab sends it away";
    view->invoiceMoved(one);
    EXPECT_EQ(tutorialFile(), R"({"shown_first_tutorial":true,"shown_second_tutorial":true})")
        << "a move records the swipe hint even though it was never fully shown";
}

TEST_F(TutorialTest, AFileThatIsNotAJsonObjectIsMovedAsideAndReadsAsAllFalse)
{
    std::vector<std::string> logged;
    platform::foundation::Log::setCapture([&](const std::string& line) { logged.push_back(line); });
    for (const char* text : { "{not json", "[true, true]" }) {
        logged.clear();
        auto fs = SDK::sdk().fs();
        fs->saveToFile("tutorial", text);
        TutorialState state(fs, nullptr);
        EXPECT_TRUE(state.shouldShowFirstHint()) << text;
        EXPECT_FALSE(fs->readFromFile("tutorial")) << text << ": moved aside";
        ASSERT_EQ(logged.size(), 1u) << text;
        EXPECT_NE(logged.front().find("tutorial.corrupt-"), std::string::npos) << logged.front();
        state.setHasSecondHintBeenShown(true);
        EXPECT_EQ(fs->readFromFile("tutorial"), R"({"shown_second_tutorial":true})") << text;
        EXPECT_TRUE(TutorialState(fs, nullptr).hasSecondHintBeenShown()) << text;
        fs->removeFile("tutorial");
    }
}

}
}
