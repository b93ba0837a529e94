#include "platform/ui/View.h"

#include "platform/ui/Constraint.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform::ui;

namespace {

// Counts the tree callbacks it gets.
class RecordingView : public View {
public:
    using View::View;

    void didMoveToSuperview() override { ++superviewMoves; }
    void didMoveToWindow() override { ++windowMoves; }
    void layoutSubviews() override { log->push_back(tag()); }

    int superviewMoves { 0 };
    int windowMoves { 0 };
    std::shared_ptr<std::vector<int>> log { std::make_shared<std::vector<int>>() };
};

std::vector<View*> order(const View& parent)
{
    std::vector<View*> result;
    for (auto& subview : parent.subviews())
        result.push_back(subview.get());
    return result;
}

// A root at the origin holding A at (10, 20), which scrolls its content by (0, 5) and holds B at (30, 40).
struct NestedTree : testing::Test {
    std::shared_ptr<View> root = std::make_shared<View>(Rect { 0, 0, 320, 480 });
    std::shared_ptr<View> a = std::make_shared<View>(Rect { 10, 20, 200, 200 });
    std::shared_ptr<View> b = std::make_shared<View>(Rect { 30, 40, 50, 50 });

    void SetUp() override
    {
        root->addSubview(a);
        a->addSubview(b);
        a->setBounds({ 0, 5, 200, 200 });
    }
};

}

TEST_F(NestedTree, ConvertsPointsThroughFramesAndBoundsOrigins)
{
    EXPECT_EQ(b->convertPointTo({ 0, 0 }, nullptr), (Point { 40, 55 }));
    EXPECT_EQ(b->convertPointTo({ 0, 0 }, a.get()), (Point { 30, 40 }));
    EXPECT_EQ(a->convertPointFrom({ 40, 55 }, nullptr), (Point { 30, 40 }));
    EXPECT_EQ(root->convertPointFrom({ 1, 1 }, b.get()), (Point { 41, 56 }));
    auto sibling = std::make_shared<View>(Rect { 100, 300, 10, 10 });
    root->addSubview(sibling);
    EXPECT_EQ(b->convertPointTo({ 0, 0 }, sibling.get()), (Point { -60, -245 }));
    EXPECT_EQ(b->convertRectTo({ 1, 2, 3, 4 }, nullptr), (Rect { 41, 57, 3, 4 }));
}

TEST_F(NestedTree, HitTestFindsTheDeepestInteractiveView)
{
    EXPECT_EQ(root->hitTest({ 41, 56 }), b);
    EXPECT_EQ(root->hitTest({ 39, 56 }), a) << "left of B";
    EXPECT_EQ(root->hitTest({ 5, 5 }), root);
    EXPECT_EQ(root->hitTest({ 400, 5 }), nullptr);

    b->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({ 41, 56 }), a) << "a view taking no touches lets them through to its superview";
    b->setUserInteractionEnabled(true);
    b->setHidden(true);
    EXPECT_EQ(root->hitTest({ 41, 56 }), a);
    b->setHidden(false);
    a->setAlpha(0);
    EXPECT_EQ(root->hitTest({ 41, 56 }), root) << "a transparent view hides its subtree from touches";
}

TEST_F(NestedTree, HitTestPrefersTheFrontmostSibling)
{
    auto front = std::make_shared<View>(Rect { 30, 40, 50, 50 });
    a->addSubview(front);
    EXPECT_EQ(root->hitTest({ 41, 56 }), front);
    a->sendSubviewToBack(*front);
    EXPECT_EQ(root->hitTest({ 41, 56 }), b);
}

TEST_F(NestedTree, SubviewsOutsideTheirSuperviewsBoundsTakeNoTouches)
{
    auto outside = std::make_shared<View>(Rect { 250, 0, 20, 20 });
    a->addSubview(outside);
    EXPECT_EQ(root->hitTest({ 265, 20 }), root);
}

TEST(ViewTest, SubviewOrderOperations)
{
    auto parent = std::make_shared<View>();
    auto one = std::make_shared<View>();
    auto two = std::make_shared<View>();
    auto three = std::make_shared<View>();
    auto four = std::make_shared<View>();
    parent->addSubview(one);
    parent->addSubview(two);
    parent->insertSubviewAt(three, 0);
    EXPECT_EQ(order(*parent), (std::vector<View*> { three.get(), one.get(), two.get() }));
    parent->insertSubviewAbove(four, *three);
    EXPECT_EQ(order(*parent), (std::vector<View*> { three.get(), four.get(), one.get(), two.get() }));
    parent->insertSubviewBelow(two, *four);
    EXPECT_EQ(order(*parent), (std::vector<View*> { three.get(), two.get(), four.get(), one.get() }));
    parent->insertSubviewAbove(three, *one);
    EXPECT_EQ(order(*parent), (std::vector<View*> { two.get(), four.get(), one.get(), three.get() }));
    parent->bringSubviewToFront(*two);
    parent->sendSubviewToBack(*one);
    EXPECT_EQ(order(*parent), (std::vector<View*> { one.get(), four.get(), three.get(), two.get() }));
    parent->insertSubviewAt(four, 99);
    EXPECT_EQ(parent->subviews().back(), four);
    four->removeFromSuperview();
    EXPECT_EQ(parent->subviews().size(), 3u);
    EXPECT_EQ(four->superview(), nullptr);
}

TEST(ViewTest, MovingAViewTakesItOutOfItsFormerSuperviewAndCallsEachHookOnce)
{
    auto window = std::make_shared<Window>(Rect { 0, 0, 320, 480 });
    auto first = std::make_shared<View>();
    auto second = std::make_shared<View>();
    auto offscreen = std::make_shared<View>();
    window->addSubview(first);
    window->addSubview(second);
    auto child = std::make_shared<RecordingView>();
    auto grandchild = std::make_shared<RecordingView>();
    child->addSubview(grandchild);

    first->addSubview(child);
    EXPECT_EQ(child->superviewMoves, 1);
    EXPECT_EQ(child->windowMoves, 1);
    EXPECT_EQ(grandchild->windowMoves, 1);
    EXPECT_EQ(grandchild->window(), window.get());

    second->addSubview(child);
    EXPECT_TRUE(first->subviews().empty());
    EXPECT_EQ(child->superviewMoves, 2);
    EXPECT_EQ(child->windowMoves, 1) << "the window did not change";

    offscreen->addSubview(child);
    EXPECT_EQ(child->windowMoves, 2);
    EXPECT_EQ(grandchild->window(), nullptr);

    child->removeFromSuperview();
    EXPECT_EQ(child->superviewMoves, 4);
    EXPECT_EQ(child->windowMoves, 2);
    child->removeFromSuperview();
    EXPECT_EQ(child->superviewMoves, 4) << "removing a view without superview does nothing";
}

TEST(ViewTest, RefusesCycles)
{
    auto parent = std::make_shared<View>();
    auto child = std::make_shared<View>();
    parent->addSubview(child);
    EXPECT_THROW(child->addSubview(parent), std::invalid_argument);
    EXPECT_THROW(parent->addSubview(parent), std::invalid_argument);
    EXPECT_THROW(parent->addSubview(nullptr), std::invalid_argument);
    EXPECT_EQ(parent->superview(), nullptr);
}

TEST(ViewTest, ViewWithTagSearchesDepthFirst)
{
    auto root = std::make_shared<View>();
    auto a = std::make_shared<View>();
    auto deep = std::make_shared<View>();
    auto b = std::make_shared<View>();
    root->addSubview(a);
    a->addSubview(deep);
    root->addSubview(b);
    deep->setTag(7);
    b->setTag(7);
    EXPECT_EQ(root->viewWithTag(7), deep);
    EXPECT_EQ(root->viewWithTag(8), nullptr);
    EXPECT_EQ(root->viewWithTag(0), root);
}

TEST(ViewTest, SetFrameAndBoundsKeepEachOtherInStep)
{
    auto view = std::make_shared<View>(Rect { 10, 10, 100, 50 });
    EXPECT_EQ(view->bounds(), (Rect { 0, 0, 100, 50 }));
    view->setBounds({ 0, 20, 50, 50 });
    EXPECT_EQ(view->frame(), (Rect { 35, 10, 50, 50 })) << "the centre stays";
    view->setCenter({ 0, 0 });
    EXPECT_EQ(view->frame(), (Rect { -25, -25, 50, 50 }));
    EXPECT_EQ(view->bounds().origin, (Point { 0, 20 })) << "moving keeps the bounds origin";
}

TEST(ViewTest, TintColorIsInherited)
{
    auto parent = std::make_shared<View>();
    auto child = std::make_shared<View>();
    parent->addSubview(child);
    EXPECT_EQ(child->tintColor(), Color::systemBlue());
    parent->setTintColor(Color::red());
    EXPECT_EQ(child->tintColor(), Color::red());
    child->setTintColor(Color::green());
    EXPECT_EQ(child->tintColor(), Color::green());
    child->setTintColor(std::nullopt);
    EXPECT_EQ(child->tintColor(), Color::red());
}

TEST(ViewTest, LayoutIfNeededRunsTheSolverThenLaysOutMarkedViewsTopDown)
{
    auto root = std::make_shared<RecordingView>(Rect { 0, 0, 100, 100 });
    auto child = std::make_shared<RecordingView>(Rect { 0, 0, 10, 10 });
    auto other = std::make_shared<RecordingView>(Rect { 0, 0, 10, 10 });
    root->setTag(1);
    child->setTag(2);
    other->setTag(3);
    child->log = other->log = root->log;
    root->addSubview(child);
    root->addSubview(other);

    std::vector<View*> solved;
    auto previous = View::layoutHooks().layout;
    View::layoutHooks().layout = [&](View& view) {
        solved.push_back(&view);
        child->setFrame({ 0, 0, 20, 20 });
    };
    root->layoutIfNeeded();
    View::layoutHooks().layout = previous;

    EXPECT_EQ(solved, (std::vector<View*> { root.get() }));
    EXPECT_EQ(*root->log, (std::vector<int> { 1, 2, 3 }));
    root->log->clear();
    other->setNeedsLayout();
    root->layoutIfNeeded();
    EXPECT_EQ(*root->log, (std::vector<int> { 3 })) << "only marked views lay out again";
    EXPECT_FALSE(other->needsLayout());
}

TEST(ViewTest, LeavingASuperviewDropsTheConstraintsThatMentionTheView)
{
    auto parent = std::make_shared<View>(Rect { 0, 0, 100, 100 });
    auto child = std::make_shared<View>();
    auto other = std::make_shared<View>();
    parent->addSubview(child);
    parent->addSubview(other);
    auto pin = Constraint::create(
        child, LayoutAttribute::Top, LayoutRelation::Equal, parent, LayoutAttribute::Top);
    auto unrelated = Constraint::create(
        other, LayoutAttribute::Top, LayoutRelation::Equal, parent, LayoutAttribute::Top);
    parent->addConstraints({ pin, unrelated });
    parent->addConstraint(pin);
    EXPECT_EQ(parent->constraints().size(), 2u) << "a constraint is held once";

    child->removeFromSuperview();
    ASSERT_EQ(parent->constraints().size(), 1u);
    EXPECT_EQ(parent->constraints().front(), unrelated);
}

TEST(ViewTest, TextDumpShowsTheTreeIndentedWithHiddenAndTranslucentViewsMarked)
{
    auto root = std::make_shared<View>(Rect { 0, 0, 320, 480 });
    auto label = std::make_shared<Label>(Rect { 10, 20, 100, 21 });
    label->setText("Invoices");
    label->setAlpha(0.4);
    auto hidden = std::make_shared<View>(Rect { 0, 0, 5, 5 });
    hidden->setHidden(true);
    auto inner = std::make_shared<View>(Rect { 1, 1, 2, 2 });
    hidden->addSubview(inner);
    root->addSubview(label);
    root->addSubview(hidden);

    EXPECT_EQ(root->textDump(),
        "View (0, 0, 320, 480)\n"
        "  Label (10, 20, 100, 21) \"Invoices\" [alpha 0.4]\n"
        "  View (0, 0, 5, 5) [hidden]\n"
        "    View (1, 1, 2, 2)\n");
    EXPECT_EQ(root->textDump(false),
        "View (0, 0, 320, 480)\n"
        "  Label (10, 20, 100, 21) \"Invoices\" [alpha 0.4]\n");
}
