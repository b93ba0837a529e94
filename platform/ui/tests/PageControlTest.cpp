#include "platform/ui/PageControl.h"

#include <gtest/gtest.h>

#include <vector>

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

TEST(PageControlTest, EachPageHasADotViewInACentredRow)
{
    auto pages = std::make_shared<PageControl>(Rect { 0, 0, 100, 37 });
    pages->setNumberOfPages(3);
    ASSERT_EQ(pages->subviews().size(), 3u);
    for (const auto& dot : pages->subviews())
        EXPECT_EQ(dot->frame().size, (Size { 7, 7 })) << "a dot has its size before it is placed";
    pages->layoutIfNeeded();
    std::vector<Rect> frames;
    for (const auto& dot : pages->subviews())
        frames.push_back(dot->frame());
    EXPECT_EQ(frames, (std::vector<Rect> { { 30.5, 15, 7, 7 }, { 46.5, 15, 7, 7 }, { 62.5, 15, 7, 7 } }));

    auto first = pages->subviews().front();
    pages->setNumberOfPages(1);
    ASSERT_EQ(pages->subviews().size(), 1u);
    EXPECT_EQ(pages->subviews().front(), first) << "the dots that stay are kept";
    pages->setNumberOfPages(0);
    EXPECT_TRUE(pages->subviews().empty());
}
