#include "platform/ui/PageControl.h"

#include <gtest/gtest.h>

using namespace platform::ui;

TEST(PageControlTest, CurrentPageStaysWithinThePages)
{
    auto pages = std::make_shared<PageControl>(Rect { 0, 0, 100, 37 });
    pages->setNumberOfPages(4);
    pages->setCurrentPage(9);
    EXPECT_EQ(pages->currentPage(), 3);
    pages->setCurrentPage(-1);
    EXPECT_EQ(pages->currentPage(), 0);
    pages->setCurrentPage(3);
    pages->setNumberOfPages(2);
    EXPECT_EQ(pages->currentPage(), 1);
    EXPECT_EQ(pages->describe(), "PageControl (0, 0, 100, 37) page 2 of 2");
}

TEST(PageControlTest, ATapMovesToTheNextPageUntilTheLast)
{
    auto pages = std::make_shared<PageControl>(Rect { 0, 0, 100, 37 });
    pages->setNumberOfPages(2);
    int changes = 0;
    pages->addAction(ControlEvent::ValueChanged, [&](Control&) { ++changes; });
    pages->tap();
    pages->tap();
    EXPECT_EQ(pages->currentPage(), 1);
    EXPECT_EQ(changes, 1);
}
