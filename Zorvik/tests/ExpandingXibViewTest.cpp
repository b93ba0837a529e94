#include "Zorvik/Views/XibViews/ExpandingXibView.h"
#include "Zorvik/Views/Categories/ViewConstraints.h"
#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Constraint.h"
#include "platform/ui/LayoutAnchor.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/Window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace zorvik::test {
namespace {

using platform::foundation::mainQueue;
using platform::ui::Animation;
using platform::ui::NibBuilder;
using platform::ui::NibCoder;
using platform::ui::NibRegistry;
using platform::ui::Rect;
using platform::ui::View;
using platform::ui::Window;

/// An expanding view laid out in the nib "Amount": a 44-point row over a 44-point panel.
class Amount : public ExpandingXibView {
public:
    std::string className() const override { return "Amount"; }
};

class ExpandingXibViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        NibRegistry::registerNib("Amount", [](NibBuilder& nib) {
            nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 44 }));
            nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 44 }));
        });
        window->setContentView(form);
    }

    void TearDown() override { NibRegistry::removeNib("Amount"); }

    /// An Amount placed in the form as a containing nib would place it: at the top, full width, with a
    /// height constraint on itself; or, when not `constrained`, at its frame.
    std::shared_ptr<Amount> place(bool constrained = true)
    {
        auto amount = std::static_pointer_cast<Amount>(
            ExpandingXibView::fromNib<Amount>(NibCoder { { 0, 0, 320, 44 } }));
        form->addSubview(amount);
        if (constrained) {
            MatchParentConstraints::anchorChildToTopOfParent(amount, form);
            MatchParentConstraints::constrainChildToMatchParentWidth(amount, form);
            amount->addConstraint(platform::ui::heightAnchor(amount).constraintEqualToConstant(44));
        }
        form->layoutIfNeeded();
        return amount;
    }

    std::shared_ptr<Window> window = std::make_shared<Window>(Rect { 0, 0, 320, 568 });
    std::shared_ptr<View> form = std::make_shared<View>();
};

TEST_F(ExpandingXibViewTest, TheTwoNibViewsStackUnderEachOtherAndTheViewStartsCollapsed)
{
    auto amount = place();

    EXPECT_EQ(amount->initialHeight(), 44);
    EXPECT_EQ(amount->view1()->frame(), (Rect { 0, 0, 320, 44 }));
    EXPECT_EQ(amount->view2()->frame(), (Rect { 0, 44, 320, 44 }));
    EXPECT_TRUE(amount->isCollapsed());
    EXPECT_EQ(ViewConstraints::heightConstraint(*amount->view1())->constant(), 44)
        << "fixed on the view itself";
}

TEST_F(ExpandingXibViewTest, ExpandingDoublesTheHeightOver02SecondsAndCollapsingUndoesIt)
{
    auto amount = place();
    auto before = Animation::runningCount();
    amount->setIsCollapsed(true);
    EXPECT_EQ(Animation::runningCount(), before) << "already collapsed: nothing to animate";

    amount->setIsCollapsed(false);
    EXPECT_EQ(amount->heightConstraint()->constant(), 88);
    EXPECT_EQ(amount->frame().height(), 88);
    EXPECT_FALSE(amount->isCollapsed());
    mainQueue().advance(0.1);
    EXPECT_EQ(Animation::presentationFrame(*amount).height(), 66) << "half way on the ease-in-out curve";
    mainQueue().advance(0.1);
    EXPECT_FALSE(Animation::isAnimating(*amount));

    amount->setIsCollapsed(true);
    EXPECT_EQ(amount->heightConstraint()->constant(), 44);
    EXPECT_TRUE(amount->isCollapsed());
}

TEST_F(ExpandingXibViewTest, WithoutAHeightConstraintNothingChangesButTheAnimationRuns)
{
    auto amount = place(false);
    auto before = Animation::runningCount();

    amount->setIsCollapsed(false);
    EXPECT_EQ(amount->heightConstraint(), nullptr);
    EXPECT_EQ(Animation::runningCount(), before + 1);
    EXPECT_TRUE(amount->isCollapsed()) << "the frame did not change";
}

TEST_F(ExpandingXibViewTest, ANibWithOneViewIsAClearError)
{
    NibRegistry::removeNib("Amount");
    NibRegistry::registerNib("Amount", [](NibBuilder& nib) { nib.topLevel(std::make_shared<View>()); });
    EXPECT_THROW(ExpandingXibView::fromNib<Amount>(NibCoder {}), platform::ui::NibError);
}

TEST(ViewConstraintsTest, TheHeightConstraintIsTheFirstOfTheViewsOwnWithTheHeightAttribute)
{
    auto parent = std::make_shared<View>();
    auto view = std::make_shared<View>();
    parent->addSubview(view);
    EXPECT_EQ(ViewConstraints::heightConstraint(*view), nullptr);

    MatchParentConstraints::constrainChildToMatchParent(view, parent);
    view->addConstraints(MatchParentConstraints::fixedWidthConstraint(view));
    EXPECT_EQ(ViewConstraints::heightConstraint(*view), nullptr)
        << "the parent's edges and a width do not count";

    auto first = MatchParentConstraints::fixedHeightConstraint(view, 10);
    view->addConstraints(first);
    view->addConstraints(MatchParentConstraints::fixedHeightConstraint(view, 20));
    EXPECT_EQ(ViewConstraints::heightConstraint(*view), first.front());
}

}
}
