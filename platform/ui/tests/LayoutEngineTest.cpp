#include "platform/ui/LayoutEngine.h"

#include "platform/ui/Constraint.h"
#include "platform/ui/LayoutAnchor.h"
#include "platform/ui/View.h"
#include "platform/ui/VisualFormat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace platform::ui;
using testing::HasSubstr;

namespace {

using Ref = std::shared_ptr<View>;

/// A view with a natural size, as a label has.
class SizedView : public View {
public:
    explicit SizedView(Size size)
        : m_size(size)
    {
    }
    std::string className() const override { return "SizedView"; }
    Size intrinsicContentSize() const override { return m_size; }

private:
    Size m_size;
};

/// A 320×480 root with three subviews a, b, c (b inside a for the nesting cases), all placed by constraints.
struct Tree {
    Ref root = std::make_shared<View>(Rect { 0, 0, 320, 480 });
    Ref a = std::make_shared<View>();
    Ref b = std::make_shared<View>();
    Ref c = std::make_shared<View>();

    Tree()
    {
        for (auto& [view, label] : { std::pair { a, "a" }, { b, "b" }, { c, "c" } }) {
            view->setAccessibilityLabel(label);
            view->setTranslatesAutoresizingMaskIntoConstraints(false);
        }
        root->addSubview(a);
        root->addSubview(b);
        root->addSubview(c);
    }

    VisualFormat::Views views() const { return { { "a", a }, { "b", b }, { "c", c } }; }

    void format(const Ref& holder, const std::string& text, const VisualFormat::Metrics& metrics = {})
    {
        holder->addConstraints(VisualFormat::constraints(text, views(), metrics));
    }

    void pin(const Ref& view, Rect frame)
    {
        root->addConstraints({ leadingAnchor(view).constraintEqualTo(leadingAnchor(root), frame.x()),
            topAnchor(view).constraintEqualTo(topAnchor(root), frame.y()) });
        view->addConstraints({ widthAnchor(view).constraintEqualToConstant(frame.width()),
            heightAnchor(view).constraintEqualToConstant(frame.height()) });
    }
};

}

TEST(LayoutEngineTest, ConstraintSetsSolveToHandCalculatedFrames)
{
    struct Case {
        const char* name;
        std::function<void(Tree&)> build;
        Rect a;
        Rect b;
        Rect c;
    };
    std::vector<Case> cases {
        { "pinned to the edges with insets",
            [](Tree& t) {
                t.format(t.root, "H:|-10-[a]-20-|");
                t.format(t.root, "V:|-30-[a]-40-|");
                t.format(t.root, "H:|[b]|");
                t.format(t.root, "V:|[b]|");
                t.format(t.root, "H:|-[c]-|");
                t.format(t.root, "V:|-(5)-[c]-(15)-|");
            },
            { 10, 30, 290, 410 }, { 0, 0, 320, 480 }, { 20, 5, 280, 460 } },
        { "fixed sizes and positions from anchors",
            [](Tree& t) {
                t.root->addConstraints({ Constraint::create(t.a, LayoutAttribute::Left, LayoutRelation::Equal,
                                             t.root, LayoutAttribute::Left, 1, 12),
                    Constraint::create(t.a, LayoutAttribute::Top, LayoutRelation::Equal, t.root,
                        LayoutAttribute::Top, 1, 7) });
                t.a->addConstraints(
                    { Constraint::create(t.a, LayoutAttribute::Width, LayoutRelation::Equal, 68),
                        Constraint::create(t.a, LayoutAttribute::Height, LayoutRelation::Equal, 40) });
                t.root->addConstraints({ trailingAnchor(t.b).constraintEqualTo(trailingAnchor(t.root), -8),
                    bottomAnchor(t.b).constraintEqualTo(bottomAnchor(t.root), -5),
                    widthAnchor(t.b).constraintEqualTo(widthAnchor(t.a)),
                    heightAnchor(t.b).constraintEqualTo(heightAnchor(t.a), 0.5, 10) });
                t.format(t.root, "H:[c(==100)]|");
                t.format(t.root, "V:[c(==h)]|", { { "h", 63.000000 } });
            },
            { 12, 7, 68, 40 }, { 244, 445, 68, 30 }, { 220, 417, 100, 63 } },
        { "centred",
            [](Tree& t) {
                t.root->addConstraints({ centerXAnchor(t.a).constraintEqualTo(centerXAnchor(t.root)),
                    centerYAnchor(t.a).constraintEqualTo(centerYAnchor(t.root)),
                    widthAnchor(t.a).constraintEqualTo(widthAnchor(t.root), 0.5, 0),
                    heightAnchor(t.a).constraintEqualToConstant(100) });
                t.root->addConstraints({ centerXAnchor(t.b).constraintEqualTo(centerXAnchor(t.a), 15),
                    centerYAnchor(t.b).constraintEqualTo(topAnchor(t.a)),
                    widthAnchor(t.b).constraintEqualToConstant(30),
                    heightAnchor(t.b).constraintEqualToConstant(31) });
                t.format(t.root, "H:|[c]|");
                t.format(t.root, "V:[c(==20)]|");
            },
            { 80, 190, 160, 100 }, { 160, 174.5, 30, 31 }, { 0, 460, 320, 20 } },
        { "a vertical stack with spacing",
            [](Tree& t) {
                t.format(t.root, "V:|-20-[a(==44)]-8-[b(==a)]-[c(==63)]");
                for (const char* name : { "a", "b", "c" })
                    t.format(t.root, std::string("H:|-16-[") + name + "]-16-|");
            },
            { 16, 20, 288, 44 }, { 16, 72, 288, 44 }, { 16, 124, 288, 63 } },
        { "two views sharing the width between them (solved together)",
            [](Tree& t) {
                t.format(t.root, "H:|-10-[a]-10-[b(==a)]-10-|");
                t.format(t.root, "V:|[a(==50)]");
                t.format(t.root, "V:|[b(==a)]");
                t.format(t.root, "H:|[c]|");
                t.format(t.root, "V:[c(==b)]|");
            },
            { 10, 0, 145, 50 }, { 165, 0, 145, 50 }, { 0, 430, 320, 50 } },
        { "a view nested in another, placed by the holder's constraints",
            [](Tree& t) {
                t.a->addSubview(t.b);
                t.format(t.root, "H:|-40-[a]-40-|");
                t.format(t.root, "V:|-100-[a(==200)]");
                t.format(t.a, "H:|-5-[b]-5-|");
                t.format(t.a, "V:[b(==30)]-5-|");
                t.format(t.root, "H:[c(==10)]-0-|");
                t.root->addConstraints({ topAnchor(t.c).constraintEqualTo(topAnchor(t.b)),
                    heightAnchor(t.c).constraintEqualTo(heightAnchor(t.b)) });
            },
            { 40, 100, 240, 200 }, { 5, 165, 230, 30 }, { 310, 265, 10, 30 } },
        { "inequalities where they bind, optional constraints where they can hold",
            [](Tree& t) {
                // a wants to sit at x = -50 but may not leave the root's left edge.
                t.format(t.root, "H:|-(>=0)-[a(==100)]");
                t.root->addConstraint(leadingAnchor(t.a).constraintEqualTo(leadingAnchor(t.root), -50));
                t.root->constraints().back()->setPriority(750);
                t.format(t.root, "V:|-(>=10)-[a(==20)]");
                // b's optional width loses to the required maximum.
                t.format(t.root, "H:|[b(<=200,==300@500)]");
                t.format(t.root, "V:|-100-[b(==20)]");
                // c: of two optional tops the stronger holds.
                t.format(t.root, "H:|[c(==5)]");
                t.format(t.root, "V:|-(40@300)-[c(==5)]");
                t.format(t.root, "V:|-(60@600)-[c]");
            },
            { 0, 10, 100, 20 }, { 0, 100, 200, 20 }, { 0, 60, 5, 5 } },
    };
    for (const auto& c : cases) {
        Tree tree;
        c.build(tree);
        tree.root->layoutIfNeeded();
        EXPECT_EQ(tree.a->frame(), c.a) << c.name << ": a is " << toString(tree.a->frame());
        EXPECT_EQ(tree.b->frame(), c.b) << c.name << ": b is " << toString(tree.b->frame());
        EXPECT_EQ(tree.c->frame(), c.c) << c.name << ": c is " << toString(tree.c->frame());
    }
}

TEST(LayoutEngineTest, ViewsWithoutConstraintsKeepTheirFramesAndCarryTheirSubviews)
{
    Tree tree;
    auto fixed = std::make_shared<View>(Rect { 50, 60, 200, 100 }); // translates its mask
    tree.root->addSubview(fixed);
    fixed->addSubview(tree.a);
    tree.b->setFrame({ 1, 2, 3, 4 }); // no flag, but no constraint mentions it
    tree.c->setFrame({ 9, 9, 9, 9 });
    tree.format(fixed, "H:|-10-[a]-10-|");
    tree.format(fixed, "V:|[a]|");
    tree.format(tree.root, "H:[c(==a)]|");
    tree.root->addConstraint(topAnchor(tree.c).constraintEqualTo(bottomAnchor(tree.a)));
    tree.c->addConstraint(heightAnchor(tree.c).constraintEqualToConstant(10));

    tree.root->layoutIfNeeded();

    EXPECT_EQ(fixed->frame(), (Rect { 50, 60, 200, 100 }));
    EXPECT_EQ(tree.a->frame(), (Rect { 10, 0, 180, 100 }));
    EXPECT_EQ(tree.b->frame(), (Rect { 1, 2, 3, 4 }));
    EXPECT_EQ(tree.c->frame(), (Rect { 140, 160, 180, 10 }))
        << "related across the tree in the root's coordinates";
}

TEST(LayoutEngineTest, IntrinsicSizeFillsWhatConstraintsLeaveOpen)
{
    auto root = std::make_shared<View>(Rect { 0, 0, 320, 480 });
    auto label = std::make_shared<SizedView>(Size { 120, 21 });
    auto squeezed = std::make_shared<SizedView>(Size { 500, 21 });
    root->addSubview(label);
    root->addSubview(squeezed);
    VisualFormat::Views views { { "label", label }, { "squeezed", squeezed } };
    for (const char* format :
        { "H:|-8-[label]", "V:|-8-[label]", "H:|-8-[squeezed]-8-|", "V:[label]-[squeezed]" }) {
        for (auto& c : VisualFormat::constraints(format, views))
            root->addConstraint(c);
    }
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    squeezed->setTranslatesAutoresizingMaskIntoConstraints(false);

    root->layoutIfNeeded();

    EXPECT_EQ(label->frame(), (Rect { 8, 8, 120, 21 }));
    EXPECT_EQ(squeezed->frame(), (Rect { 8, 37, 304, 21 }))
        << "the required edges beat compression resistance";
}

TEST(LayoutEngineTest, ChangingAConstantMovesTheViewsOnTheNextPass)
{
    Tree tree;
    tree.format(tree.root, "V:|-20-[a]-8-[b(==30)]");
    tree.format(tree.root, "H:|[a]|");
    tree.format(tree.root, "H:|[b]|");
    auto height = heightAnchor(tree.a).constraintEqualToConstant(100);
    tree.a->addConstraint(height);
    tree.pin(tree.c, { 0, 0, 1, 1 });
    tree.root->layoutIfNeeded();
    ASSERT_EQ(tree.b->frame(), (Rect { 0, 128, 320, 30 }));

    height->setConstant(200);
    EXPECT_TRUE(tree.a->needsLayout()) << "the holder is marked for layout";
    tree.root->layoutIfNeeded();

    EXPECT_EQ(tree.a->frame(), (Rect { 0, 20, 320, 200 }));
    EXPECT_EQ(tree.b->frame(), (Rect { 0, 228, 320, 30 }));
}

TEST(LayoutEngineTest, RemovingAViewDropsTheConstraintsThatMentionItOrItsSubviews)
{
    Tree tree;
    auto inner = std::make_shared<View>();
    inner->setTranslatesAutoresizingMaskIntoConstraints(false);
    tree.a->addSubview(inner);
    tree.format(tree.root, "H:|[a(==100)]-[b]|");
    tree.format(tree.root, "V:|[a(==100)]");
    tree.format(tree.root, "V:|[b]|");
    tree.a->addConstraints(VisualFormat::constraints("H:|[inner]|", { { "inner", inner } }));
    tree.root->addConstraint(topAnchor(tree.c).constraintEqualTo(bottomAnchor(inner)));
    tree.pin(tree.c, { 0, 0, 5, 5 });
    std::size_t rootConstraints = tree.root->constraints().size();
    std::size_t ownConstraints = tree.a->constraints().size();

    tree.a->removeFromSuperview();

    // The root loses the six that mention a (its edges, sizes and b's spacing) or inner (c's top); the
    // inner fill stays with a, which holds it.
    EXPECT_EQ(tree.root->constraints().size(), rootConstraints - 6);
    EXPECT_EQ(tree.a->constraints().size(), ownConstraints);
    for (const auto& constraint : tree.root->constraints()) {
        EXPECT_FALSE(constraint->mentions(*tree.a)) << constraint->description();
        EXPECT_FALSE(constraint->mentions(*inner)) << constraint->description();
    }
    tree.format(tree.root, "H:|[b]|");
    tree.root->layoutIfNeeded();
    EXPECT_EQ(tree.b->frame(), (Rect { 0, 0, 320, 480 }));
}

TEST(LayoutEngineTest, ContradictingRequiredConstraintsReportTheViews)
{
    Tree tree;
    tree.format(tree.root, "H:|-10-[a(==100)]-10-|");
    tree.format(tree.root, "V:|[a]|");
    tree.pin(tree.b, { 0, 0, 10, 10 });
    tree.pin(tree.c, { 0, 0, 10, 10 });
    try {
        tree.root->layoutIfNeeded();
        FAIL() << "no error";
    } catch (const LayoutError& error) {
        EXPECT_THAT(error.what(), HasSubstr("Unsatisfiable layout"));
        EXPECT_THAT(error.what(), HasSubstr("View 'a'"));
    }
}

TEST(LayoutEngineTest, ConstraintsAgainstAFixedFrameOrAContradictoryCycleAreUnsatisfiable)
{
    Tree tree;
    auto fixed = std::make_shared<View>(Rect { 0, 0, 50, 50 });
    fixed->setAccessibilityLabel("fixed");
    tree.root->addSubview(fixed);
    fixed->addConstraint(widthAnchor(fixed).constraintEqualToConstant(60));
    tree.pin(tree.a, { 0, 0, 1, 1 });
    tree.pin(tree.b, { 0, 0, 1, 1 });
    tree.pin(tree.c, { 0, 0, 1, 1 });
    try {
        tree.root->layoutIfNeeded();
        FAIL() << "no error";
    } catch (const LayoutError& error) {
        EXPECT_THAT(error.what(), HasSubstr("View 'fixed'"));
        EXPECT_THAT(error.what(), HasSubstr("translates its autoresizing mask"));
    }

    Tree cycle;
    cycle.format(cycle.root, "H:|[a][b(==a)]|");
    cycle.format(cycle.root, "H:[a]-0-[c(==b)]|");
    cycle.root->addConstraint(widthAnchor(cycle.c).constraintEqualTo(widthAnchor(cycle.a), 2, 0));
    for (const char* v : { "V:|[a(==1)]", "V:|[b(==1)]", "V:|[c(==1)]" })
        cycle.format(cycle.root, v);
    EXPECT_THROW(cycle.root->layoutIfNeeded(), LayoutError) << "c = b = a and c = 2a only hold at zero width";
}

TEST(LayoutEngineTest, AViewLeftOpenIsAmbiguous)
{
    Tree tree;
    tree.format(tree.root, "H:|[a]|");
    tree.format(tree.root, "V:|[a]");
    tree.format(tree.root, "H:|-(>=0)-[b(==10)]-(>=0)-|");
    tree.format(tree.root, "V:|[b(==10)]");
    tree.pin(tree.c, { 0, 0, 1, 1 });
    try {
        tree.root->layoutIfNeeded();
        FAIL() << "no error";
    } catch (const LayoutError& error) {
        EXPECT_THAT(
            error.what(), HasSubstr("Ambiguous layout: the constraints do not fix View 'a' (height)"));
        EXPECT_THAT(error.what(), testing::Not(HasSubstr("'b'"))) << "b settles on its leading bound";
    }
}

TEST(LayoutEngineTest, AConstraintReachingOutsideItsHolderIsRejected)
{
    Tree tree;
    tree.a->addSubview(tree.b);
    tree.b->addConstraint(leadingAnchor(tree.b).constraintEqualTo(leadingAnchor(tree.c)));
    try {
        tree.root->layoutIfNeeded();
        FAIL() << "no error";
    } catch (const LayoutError& error) {
        EXPECT_THAT(error.what(), HasSubstr("held by View 'b'"));
        EXPECT_THAT(error.what(), HasSubstr("View 'c' is neither"));
    }
}
