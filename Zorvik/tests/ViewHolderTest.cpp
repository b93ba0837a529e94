#include "Zorvik/Views/UIView/ViewHolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace zorvik::test {
namespace {

using platform::ui::Rect;
using platform::ui::View;

TEST(ViewHolderTest, EverySubviewFillsTheHolder)
{
    auto holder = std::make_shared<ViewHolder>(Rect { 0, 0, 300, 120 });
    auto form = std::make_shared<View>(Rect { 10, 10, 50, 50 });
    auto overlay = std::make_shared<View>();
    holder->addSubview(form);
    holder->addSubview(overlay);
    holder->layoutIfNeeded();

    EXPECT_EQ(form->frame(), (Rect { 0, 0, 300, 120 }));
    EXPECT_EQ(overlay->frame(), (Rect { 0, 0, 300, 120 }));
    EXPECT_EQ(holder->constraints().size(), 8u);

    holder->setFrame({ 0, 0, 320, 200 });
    holder->layoutIfNeeded();
    EXPECT_EQ(form->frame(), (Rect { 0, 0, 320, 200 }));
}

}
}
