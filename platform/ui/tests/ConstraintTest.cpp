#include "platform/ui/Constraint.h"

#include "platform/ui/LayoutAnchor.h"
#include "platform/ui/View.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace platform::ui;
using testing::HasSubstr;

namespace {

class ConstraintTest : public testing::Test {
protected:
    ConstraintTest()
    {
        root->addSubview(left);
        root->addSubview(box);
        box->addSubview(inner);
        inner->setAccessibilityLabel("inner");
        left->setTag(3);
    }

    std::shared_ptr<View> root = std::make_shared<View>();
    std::shared_ptr<View> left = std::make_shared<View>();
    std::shared_ptr<View> box = std::make_shared<View>();
    std::shared_ptr<View> inner = std::make_shared<View>();
};

}

TEST_F(ConstraintTest, ActivationInstallsOnTheNearestCommonAncestor)
{
    auto across = leadingAnchor(inner).constraintEqualTo(trailingAnchor(left), 8);
    auto within = topAnchor(inner).constraintEqualTo(topAnchor(box));
    auto size = widthAnchor(inner).constraintEqualToConstant(10);
    Constraint::activate({ across, within, size });

    EXPECT_EQ(across->owner(), root);
    EXPECT_EQ(within->owner(), box);
    EXPECT_EQ(size->owner(), inner);
    EXPECT_TRUE(across->isActive());
    across->setActive(true);
    EXPECT_EQ(root->constraints().size(), 1u) << "activating twice installs once";

    Constraint::deactivate({ across, size });
    EXPECT_FALSE(across->isActive());
    EXPECT_TRUE(root->constraints().empty());
    EXPECT_TRUE(inner->constraints().empty());
    EXPECT_TRUE(within->isActive());

    auto stranger = std::make_shared<View>();
    EXPECT_THROW(
        leadingAnchor(stranger).constraintEqualTo(leadingAnchor(inner))->setActive(true), LayoutError);
}

TEST_F(ConstraintTest, OnlyLikeAttributesRelate)
{
    auto expectError = [](auto make) { EXPECT_THROW(make(), LayoutError); };
    expectError([&] {
        return Constraint::create(
            box, LayoutAttribute::Leading, LayoutRelation::Equal, left, LayoutAttribute::Top);
    });
    expectError([&] {
        return Constraint::create(
            box, LayoutAttribute::Width, LayoutRelation::Equal, left, LayoutAttribute::Left);
    });
    expectError([&] { return Constraint::create(box, LayoutAttribute::Top, LayoutRelation::Equal, 10); });
    expectError(
        [&] { return Constraint::create(nullptr, LayoutAttribute::Width, LayoutRelation::Equal, 10); });
    expectError([&] { return LayoutDimension(box, LayoutAttribute::CenterX); });
    expectError([&] { return LayoutYAxisAnchor(box, LayoutAttribute::Leading); });

    auto aspect = widthAnchor(box).constraintEqualTo(heightAnchor(box), 2, 0);
    EXPECT_EQ(aspect->multiplier(), 2);
    EXPECT_EQ(aspect->secondAttribute(), LayoutAttribute::Height);
}

TEST_F(ConstraintTest, DescriptionsNameTheViewsAndTheParts)
{
    auto constraint = Constraint::create(inner, LayoutAttribute::CenterX, LayoutRelation::GreaterThanOrEqual,
        left, LayoutAttribute::Right, 0.5, -4);
    constraint->setPriority(2000);
    EXPECT_TRUE(constraint->isRequired()) << "priorities are clamped to 1000";
    constraint->setPriority(750);
    constraint->setIdentifier("gap");
    EXPECT_EQ(constraint->description(), "View 'inner'.centerX >= View #3.right * 0.5 - 4 @750 (gap)");
    EXPECT_EQ(heightAnchor(box).constraintLessThanOrEqualToConstant(44)->description(), "View.height <= 44");
}
