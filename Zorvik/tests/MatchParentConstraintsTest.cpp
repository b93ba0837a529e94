#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/Constraints/Constraints.h"
#include "platform/ui/Constraint.h"
#include "platform/ui/View.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::ui::Constraint;
using platform::ui::LayoutAttribute;
using platform::ui::LayoutError;
using platform::ui::Rect;
using platform::ui::View;
using Attribute = LayoutAttribute;

/// One constraint as "first.attribute = second.attribute + constant" over the views' names.
struct Relation {
    std::string first;
    Attribute firstAttribute;
    std::string second;
    Attribute secondAttribute;
    double constant;

    friend bool operator==(const Relation&, const Relation&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Relation& r)
    {
        return out << r.first << "." << Constraint::attributeName(r.firstAttribute) << " = " << r.second
                   << "." << Constraint::attributeName(r.secondAttribute) << " + " << r.constant;
    }
};

class MatchParentConstraintsTest : public testing::Test {
protected:
    void SetUp() override
    {
        parent->addSubview(child);
        parent->addSubview(other);
    }

    std::string nameOf(const std::shared_ptr<View>& view) const
    {
        if (!view)
            return "-";
        if (view == parent)
            return "parent";
        if (view == child)
            return "child";
        if (view == other)
            return "other";
        return "?";
    }

    std::vector<Relation> relations(const std::vector<std::shared_ptr<Constraint>>& constraints) const
    {
        std::vector<Relation> result;
        for (const auto& c : constraints) {
            EXPECT_EQ(c->relation(), platform::ui::LayoutRelation::Equal);
            EXPECT_EQ(c->multiplier(), 1);
            EXPECT_TRUE(c->isRequired());
            result.push_back({ nameOf(c->firstItem()), c->firstAttribute(), nameOf(c->secondItem()),
                c->secondAttribute(), c->constant() });
        }
        return result;
    }

    std::shared_ptr<View> parent = std::make_shared<View>(Rect { 0, 0, 320, 200 });
    std::shared_ptr<View> child = std::make_shared<View>(Rect { 10, 20, 320, 44 });
    std::shared_ptr<View> other = std::make_shared<View>(Rect { 0, 0, 100, 30 });
};

TEST_F(MatchParentConstraintsTest, MatchParentInstallsTheFourEdgesOnTheParentHorizontalPairFirst)
{
    MatchParentConstraints::constrainChildToMatchParent(child, parent);

    EXPECT_THAT(relations(parent->constraints()),
        testing::ElementsAre(Relation { "child", Attribute::Leading, "parent", Attribute::Leading, 0 },
            Relation { "parent", Attribute::Trailing, "child", Attribute::Trailing, 0 },
            Relation { "child", Attribute::Top, "parent", Attribute::Top, 0 },
            Relation { "parent", Attribute::Bottom, "child", Attribute::Bottom, 0 }));
    EXPECT_TRUE(child->constraints().empty());
    EXPECT_FALSE(child->translatesAutoresizingMaskIntoConstraints());

    parent->layoutIfNeeded();
    EXPECT_EQ(child->frame(), (Rect { 0, 0, 320, 200 }));
    parent->setFrame({ 0, 0, 375, 667 });
    parent->layoutIfNeeded();
    EXPECT_EQ(child->frame(), (Rect { 0, 0, 375, 667 }));
}

TEST_F(MatchParentConstraintsTest, EdgeBuildersInstallOnlyTheirEdges)
{
    MatchParentConstraints::constrainChildToMatchParentWidth(child, parent);
    EXPECT_THAT(relations(parent->constraints()),
        testing::ElementsAre(Relation { "child", Attribute::Leading, "parent", Attribute::Leading, 0 },
            Relation { "parent", Attribute::Trailing, "child", Attribute::Trailing, 0 }));

    MatchParentConstraints::anchorChildToTopOfParent(other, parent);
    EXPECT_EQ(relations({ parent->constraints().back() }).front(),
        (Relation { "other", Attribute::Top, "parent", Attribute::Top, 0 }));
    EXPECT_EQ(parent->constraints().size(), 3u);
    EXPECT_FALSE(other->translatesAutoresizingMaskIntoConstraints());
}

TEST_F(MatchParentConstraintsTest, AnchorToTopOfViewHangsTheBottomViewUnderTheChild)
{
    MatchParentConstraints::anchorChildToTopOfView(child, other, parent);

    EXPECT_THAT(relations(parent->constraints()),
        testing::ElementsAre(Relation { "other", Attribute::Top, "child", Attribute::Bottom, 0 }));
    EXPECT_FALSE(child->translatesAutoresizingMaskIntoConstraints());
    EXPECT_FALSE(other->translatesAutoresizingMaskIntoConstraints());
    EXPECT_TRUE(child->constraints().empty());
    EXPECT_TRUE(other->constraints().empty());
}

TEST_F(MatchParentConstraintsTest, FixViewHeightInstallsTheFrameHeightOnTheViewItself)
{
    auto flat = std::make_shared<View>(Rect { 0, 0, 50, 0 });
    parent->addSubview(flat);
    MatchParentConstraints::fixViewHeight(flat);
    MatchParentConstraints::fixViewHeight(child);

    EXPECT_THAT(relations(child->constraints()),
        testing::ElementsAre(Relation { "child", Attribute::Height, "-", Attribute::NotAnAttribute, 44 }));
    ASSERT_EQ(flat->constraints().size(), 1u);
    EXPECT_EQ(flat->constraints()[0]->constant(), 0);
    EXPECT_FALSE(flat->translatesAutoresizingMaskIntoConstraints());
    EXPECT_TRUE(parent->constraints().empty());
}

TEST_F(MatchParentConstraintsTest, ReturningBuildersInstallNothingAndKeepTheFlags)
{
    using Builder = std::function<std::vector<std::shared_ptr<Constraint>>()>;
    struct Case {
        const char* name;
        Builder build;
        std::vector<Relation> expected;
    } cases[] = {
        { "heightConstraint", [&] { return MatchParentConstraints::heightConstraint(child); },
            { { "child", Attribute::Height, "-", Attribute::NotAnAttribute, 44 } } },
        { "fixedHeightConstraint", [&] { return MatchParentConstraints::fixedHeightConstraint(child); },
            { { "child", Attribute::Height, "-", Attribute::NotAnAttribute, 44 } } },
        { "widthConstraint", [&] { return MatchParentConstraints::widthConstraint(child); },
            { { "child", Attribute::Width, "-", Attribute::NotAnAttribute, 320 } } },
        { "fixedWidthConstraint", [&] { return MatchParentConstraints::fixedWidthConstraint(child); },
            { { "child", Attribute::Width, "-", Attribute::NotAnAttribute, 320 } } },
        { "fixedHeightConstraint 63",
            [&] { return MatchParentConstraints::fixedHeightConstraint(child, 63); },
            { { "child", Attribute::Height, "-", Attribute::NotAnAttribute, 63 } } },
        { "topHeightConstraint", [&] { return MatchParentConstraints::topHeightConstraint(child); },
            { { "child", Attribute::Top, "parent", Attribute::Top, 0 },
                { "child", Attribute::Height, "-", Attribute::NotAnAttribute, 44 } } },
        { "topConstraintParent", [&] { return MatchParentConstraints::topConstraintParent(child, other); },
            { { "child", Attribute::Top, "parent", Attribute::Top, 0 } } },
        { "topConstraintView", [&] { return MatchParentConstraints::topConstraintView(child, other); },
            { { "other", Attribute::Top, "child", Attribute::Bottom, 0 } } },
        { "horizontalConstraint",
            [&] {
                return MatchParentConstraints::horizontalConstraint({ { "x", child } }, "x");
            },
            { { "child", Attribute::Leading, "parent", Attribute::Leading, 0 },
                { "parent", Attribute::Trailing, "child", Attribute::Trailing, 0 } } },
        { "verticalConstraint",
            [&] {
                return MatchParentConstraints::verticalConstraint({ { "x", child }, { "y", other } }, "x");
            },
            { { "child", Attribute::Top, "parent", Attribute::Top, 0 },
                { "parent", Attribute::Bottom, "child", Attribute::Bottom, 0 } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(relations(c.build()), c.expected);
        EXPECT_TRUE(child->translatesAutoresizingMaskIntoConstraints());
        EXPECT_TRUE(other->translatesAutoresizingMaskIntoConstraints());
        EXPECT_TRUE(parent->constraints().empty());
        EXPECT_TRUE(child->constraints().empty());
    }
}

TEST_F(MatchParentConstraintsTest, NamesAndFormatTexts)
{
    EXPECT_EQ(MatchParentConstraints::defaultSubviewName(), "subview");
    EXPECT_EQ(MatchParentConstraints::topSubviewName(), "top");
    EXPECT_EQ(MatchParentConstraints::bottomSubviewName(), "bottom");
    EXPECT_EQ(MatchParentConstraints::horizontal("x"), "H:|-0-[x]-0-|");
    EXPECT_EQ(MatchParentConstraints::vertical("x"), "V:|-0-[x]-0-|");
    EXPECT_EQ(Constraints::text(Constraints::Orientation::Horizontal), "H");
    EXPECT_EQ(Constraints::text(Constraints::Orientation::Vertical), "V");
    EXPECT_EQ(int(Constraints::Orientation::Vertical), 1);
}

TEST_F(MatchParentConstraintsTest, RowsStackTopToBottomAtTheirFixedHeights)
{
    auto menu = std::make_shared<View>(Rect { 0, 0, 320, 480 });
    std::vector<std::shared_ptr<View>> rows;
    for (int i = 0; i < 3; ++i) {
        auto row = std::make_shared<View>();
        menu->addSubview(row);
        if (rows.empty())
            MatchParentConstraints::anchorChildToTopOfParent(row, menu);
        else
            MatchParentConstraints::anchorChildToTopOfView(rows.back(), row, menu);
        MatchParentConstraints::constrainChildToMatchParentWidth(row, menu);
        row->addConstraints(MatchParentConstraints::fixedHeightConstraint(row, 63));
        rows.push_back(row);
    }
    menu->layoutIfNeeded();
    EXPECT_EQ(rows[0]->frame(), (Rect { 0, 0, 320, 63 }));
    EXPECT_EQ(rows[1]->frame(), (Rect { 0, 63, 320, 63 }));
    EXPECT_EQ(rows[2]->frame(), (Rect { 0, 126, 320, 63 }));
}

TEST_F(MatchParentConstraintsTest, MisuseFailsWithAMessageNamingTheBuilder)
{
    auto loose = std::make_shared<View>();
    auto elsewhere = std::make_shared<View>();
    std::shared_ptr<View> none;
    struct Case {
        std::function<void()> misuse;
        std::string message;
    } cases[] = {
        { [&] { MatchParentConstraints::constrainChildToMatchParent(none, parent); },
            "MatchParentConstraints::constrainChildToMatchParent: no child view given" },
        { [&] { MatchParentConstraints::constrainChildToMatchParent(loose, parent); },
            "MatchParentConstraints::constrainChildToMatchParent: the child view (View) has no superview" },
        { [&] { MatchParentConstraints::constrainChildToMatchParent(child, none); },
            "MatchParentConstraints::constrainChildToMatchParent: no parent view given" },
        { [&] { MatchParentConstraints::constrainChildToMatchParentWidth(child, elsewhere); },
            "MatchParentConstraints::constrainChildToMatchParentWidth: the child view is not inside the "
            "parent" },
        { [&] { MatchParentConstraints::anchorChildToTopOfView(child, loose, parent); },
            "MatchParentConstraints::anchorChildToTopOfView: the bottom view is not inside the parent" },
        { [&] { MatchParentConstraints::fixViewHeight(none); },
            "MatchParentConstraints::fixViewHeight: no sized view given" },
        { [&] {
             MatchParentConstraints::horizontalConstraint({ { "subview", child } }, "x");
         },
            "MatchParentConstraints::horizontalConstraint: the views dictionary has no view named 'x'" },
        { [&] {
             MatchParentConstraints::verticalConstraint({ { "x", loose } }, "x");
         },
            "MatchParentConstraints::verticalConstraint: the named view (View) has no superview" },
        { [&] { MatchParentConstraints::topConstraintParent(loose, parent); },
            "MatchParentConstraints::topConstraintParent: the placed view (View) has no superview" },
        { [&] { MatchParentConstraints::topConstraintView(child, none); },
            "MatchParentConstraints::topConstraintView: no bottom view given" },
    };
    for (const auto& c : cases) {
        try {
            c.misuse();
            ADD_FAILURE() << "no error for: " << c.message;
        } catch (const LayoutError& error) {
            EXPECT_THAT(error.what(), testing::StartsWith(c.message));
        }
    }
    EXPECT_TRUE(parent->constraints().empty()) << "a refused call installs nothing";
    EXPECT_TRUE(child->translatesAutoresizingMaskIntoConstraints());
}

}
}
