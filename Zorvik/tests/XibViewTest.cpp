#include "Zorvik/Views/XibViews/XibView.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/Screen.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace zorvik::test {
namespace {

using platform::ui::NibBuilder;
using platform::ui::NibCoder;
using platform::ui::NibRegistry;
using platform::ui::Rect;
using platform::ui::ScopedMainScreen;
using platform::ui::Screen;
using platform::ui::View;

/// A self-contained view of the test, known at run time as "qz.Panel".
class Panel : public XibView {
public:
    std::string className() const override { return "Panel"; }
};

class XibViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        registerNibs();
        NibRegistry::registerNib("Panel", [](NibBuilder& nib) {
            nib.topLevel(std::make_shared<View>(Rect { 0, 0, 280, 90 }))->setTag(1);
            nib.topLevel(std::make_shared<View>(Rect { 0, 0, 280, 70 }))->setTag(2);
        });
        NibRegistry::registerNib("Panel4", [](NibBuilder& nib) {
            nib.topLevel(std::make_shared<View>(Rect { 0, 0, 280, 60 }))->setTag(4);
        });
        NibRegistry::registerNib("Extra", [](NibBuilder& nib) {
            nib.topLevel(std::make_shared<View>(Rect { 0, 0, 10, 10 }))->setTag(3);
        });
    }

    void TearDown() override
    {
        for (const char* nib : { "Panel", "Panel4", "Extra" })
            NibRegistry::removeNib(nib);
    }
};

TEST_F(XibViewTest, TheNibIsTheClassNameWithoutItsModule)
{
    EXPECT_EQ(XibView::nibFromClass("qz.XibView"), "XibView");
    EXPECT_EQ(XibView::nibFromClass("XibView"), "XibView");

    auto view = XibView::create<XibView>();
    EXPECT_EQ(view->runtimeClassName(), "qz.XibView");
    EXPECT_EQ(view->nib(), "XibView");
    EXPECT_EQ(view->frame(), (Rect { 0, 0, 320, 50 })) << "the origin of the screen, the size of the nib";
    ASSERT_EQ(view->subviews().size(), 1u);
    EXPECT_EQ(view->subviews()[0], view->contentView());
    EXPECT_EQ(view->backgroundColor(), platform::ui::Color::clear());

    view->setFrame({ 0, 0, 200, 30 });
    view->layoutIfNeeded();
    EXPECT_EQ(view->contentView()->frame(), (Rect { 0, 0, 200, 30 }));
}

TEST_F(XibViewTest, OnEveryScreenTheNibNamedAsAskedLoadsAndTheFirstTopLevelViewIsTheContent)
{
    for (auto size : { Screen::size320x480, Screen::size320x568 }) {
        ScopedMainScreen screen(size);
        auto panel = XibView::create<Panel>();
        EXPECT_EQ(panel->contentView()->tag(), 1) << size.height;
        EXPECT_EQ(panel->frame().size, (platform::ui::Size { 280, 90 }));
    }
    EXPECT_EQ(XibView::fromNib<Panel>(NibCoder { { 7, 8, 1, 1 } })->frame(), (Rect { 7, 8, 280, 90 }));
}

TEST_F(XibViewTest, ASecondTopLevelViewCountsAsASmallScreenLayout)
{
    EXPECT_TRUE(XibView::hasSmallIPhoneSpecificLayout(NibRegistry::load("Panel", nullptr)));
    EXPECT_FALSE(XibView::hasSmallIPhoneSpecificLayout(NibRegistry::load("Extra", nullptr)));
}

TEST_F(XibViewTest, AddingAnotherNibViewLeavesTheContentView)
{
    auto panel = XibView::create<Panel>();
    auto content = panel->contentView();
    panel->addContentiewFromNib("Extra");

    ASSERT_EQ(panel->subviews().size(), 2u);
    EXPECT_EQ(panel->contentView(), content);
    auto extra = panel->subviews()[1];
    EXPECT_EQ(extra->tag(), 3);
    panel->layoutIfNeeded();
    EXPECT_EQ(extra->frame(), (Rect { 0, 0, 280, 90 }));

    auto badge = std::make_shared<View>();
    panel->addSubview(badge);
    EXPECT_EQ(badge->superview(), content);
}

TEST_F(XibViewTest, AContentViewLoadedIntoAnotherParentFillsThatParent)
{
    auto panel = XibView::create<Panel>();
    auto former = panel->contentView();
    auto card = std::make_shared<View>(Rect { 0, 0, 150, 40 });
    panel->setContentViewFromNib("Extra", card);

    EXPECT_EQ(panel->contentView()->superview(), card);
    EXPECT_EQ(former->superview(), panel) << "the former content view stays where it was";
    card->layoutIfNeeded();
    EXPECT_EQ(panel->contentView()->frame(), (Rect { 0, 0, 150, 40 }));

    auto badge = std::make_shared<View>();
    panel->addSubview(badge);
    EXPECT_EQ(badge->superview(), panel->contentView());
}

}
}
