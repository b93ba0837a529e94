#include "Zorvik/Views/DirectionalScrollView/DirectionalScrollView.h"
#include "Zorvik/Views/FolderView/InvoiceTableDatasourceObjc.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableBackground.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableContentView.h"
#include "Zorvik/tests/FolderListFixture.h"
#include "platform/ui/ScreenDriver.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using SwipeableRowsTest = FolderListTest;

// The swipe container of the first row of `folder`.
std::shared_ptr<SwipeableContentView> firstContainer(FolderViewObjc& folder)
{
    folder.window()->layoutIfNeeded();
    auto cell = folder.invoicesTable()->cellForRow({ 0, 0 });
    return std::dynamic_pointer_cast<SwipeableContentView>(cell->contentView()->subviews().front());
}

TEST_F(SwipeableRowsTest, AFullSwipeToTheFolderSideRestsOnTheOuterPageAndAsksForTheMove)
{
    struct Case {
        bool todo;
        const char* swipe;
        const char* rests;
        std::vector<std::string> asked;
    };
    const Case cases[] = {
        { true, "swipe Work 7 640", "the row rests at offset 320\n", {} },
        { true, "swipe Work 7 0", "the row rests at offset 0\n", { "move 7 to done" } },
        { true, "swipe Work 7 160", "the row rests at offset 320\n", {} },
        { false, "swipe Work 7 640", "the row rests at offset 640\n", { "move 7 to todo" } },
        { false, "swipe Work 7 0", "the row rests at offset 320\n", {} },
        { false, "swipe Work 7 470", "the row rests at offset 320\n", {} },
    };
    for (const auto& c : cases) {
        journal->entries.clear();
        auto folder = showFolder(c.todo);
        folder->setInvoices(list({ invoice(7, 2,
            c.todo ? std::vector<std::string> { "todo" } : std::vector<std::string> { "todo", "done" }) }));
        EXPECT_EQ(driver.execute(c.swipe), c.rests) << c.swipe << (c.todo ? " in To-Do" : " in Done");
        EXPECT_EQ(journal->entries, c.asked) << c.swipe << (c.todo ? " in To-Do" : " in Done");
        folder->removeFromSuperview();
    }
}

TEST_F(SwipeableRowsTest, TheBackgroundColourFollowsTheSwipeAndShowsThePairOfItsSide)
{
    auto todo = showFolder(true);
    todo->setInvoices(list({ invoice(1, 2), invoice(2, 3, { "todo", "done" }) }));
    auto container = firstContainer(*todo);
    auto background = container->background();
    ASSERT_TRUE(background);
    EXPECT_EQ(background->swipeColourView()->alpha(), 0) << "at rest on the middle page";
    auto scroll = container->swipeableView();
    EXPECT_EQ(scroll->contentOffset().x, 320);
    EXPECT_EQ(scroll->contentSize().width, 960);
    EXPECT_TRUE(scroll->isLocked());

    scroll->setContentOffset({ 240, 0 });
    EXPECT_DOUBLE_EQ(background->swipeColourView()->alpha(), 0.5) << "a quarter page";
    EXPECT_EQ(background->direction(), 0);
    scroll->setContentOffset({ 100, 0 });
    EXPECT_EQ(background->swipeColourView()->alpha(), 1) << "beyond half a page it shows fully";
    scroll->setContentOffset({ 400, 0 });
    EXPECT_EQ(scroll->contentOffset().x, 320) << "a To-Do row does not move left";

    auto done = showFolder(false);
    done->setInvoices(list({ invoice(2, 3, { "todo", "done" }) }));
    auto paid = firstContainer(*done);
    paid->swipeableView()->setContentOffset({ 400, 0 });
    EXPECT_DOUBLE_EQ(paid->background()->swipeColourView()->alpha(), 0.5);
    EXPECT_EQ(paid->background()->direction(), 1) << "the paid pair shows";
}

TEST_F(SwipeableRowsTest, ATapStillOpensTheRowAndARowWithoutBackgroundDoesNotScroll)
{
    auto todo = showFolder(true);
    todo->setInvoices(list({ invoice(4, 1) }));
    tap("Work 4");
    EXPECT_EQ(journal->entries, (std::vector<std::string> { "show 4" }));

    auto row = std::make_shared<platform::ui::View>(platform::ui::Rect { 0, 0, 320, 80 });
    auto still = SwipeableContentView::make(row, nullptr);
    EXPECT_FALSE(still->swipeableView()->isScrollEnabled());
    EXPECT_EQ(
        SwipeableBackground::make(std::nullopt)->swipeColour(), SwipeableBackground::defaultSwipeColour());
}

}
}
