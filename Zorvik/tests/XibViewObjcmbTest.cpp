#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/Screen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace zorvik::test {
namespace {

using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::NibCoder;
using platform::ui::NibError;
using platform::ui::NibRegistry;
using platform::ui::Rect;
using platform::ui::ScopedMainScreen;
using platform::ui::Screen;
using platform::ui::View;

/// A nib-loaded view with one outlet, laid out in the nib "Card".
class Card : public XibViewObjcmb {
public:
    Card() { declareOutlet("title", m_title); }
    std::string className() const override { return "Card"; }

    std::shared_ptr<Label> m_title;
};

/// A card that asks for its "4" variant on short screens.
class ShortCard : public Card {
public:
    std::string className() const override { return "ShortCard"; }
    bool shouldLoadShortIPhoneViewForNib(const std::string& name) const override
    {
        return name == "ShortCard";
    }
};

/// A card that keeps the frame it was made with.
class FixedCard : public Card {
public:
    std::string nib() const override { return "Card"; }
    bool shouldSetInitialSize() const override { return false; }
};

void buildCard(NibBuilder& nib, double height, const std::string& title)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 200, height }));
    auto label = std::make_shared<Label>(Rect { 8, 8, 100, 20 });
    label->setText(title);
    root->addSubview(label);
    nib.outlet("title", label);
}

class XibViewObjcmbTest : public testing::Test {
protected:
    void SetUp() override
    {
        NibRegistry::registerNib("Card", [](NibBuilder& nib) { buildCard(nib, 100, "card"); });
        NibRegistry::registerNib("ShortCard", [](NibBuilder& nib) { buildCard(nib, 100, "tall"); });
        NibRegistry::registerNib("ShortCard4", [](NibBuilder& nib) { buildCard(nib, 80, "short"); });
        NibRegistry::registerNib("Table", [](NibBuilder& nib) {
            auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 300 }));
            root->addSubview(nib.custom("Card", { 10, 20, 50, 50 }));
        });
        NibRegistry::registerClass("Card", XibViewObjcmb::fromNib<Card>);
    }

    void TearDown() override
    {
        for (const char* nib : { "Card", "ShortCard", "ShortCard4", "Table" })
            NibRegistry::removeNib(nib);
        NibRegistry::removeClass("Card");
    }
};

TEST_F(XibViewObjcmbTest, MadeWithoutFrameItTakesItsNibsSizeAndPinsTheContentView)
{
    auto card = XibViewObjcmb::create<Card>();

    EXPECT_EQ(card->frame(), (Rect { 0, 0, 200, 100 }));
    ASSERT_EQ(card->subviews().size(), 1u);
    EXPECT_EQ(card->subviews()[0], card->contentView());
    ASSERT_TRUE(card->m_title);
    EXPECT_EQ(card->m_title->text(), "card");
    EXPECT_TRUE(card->m_title->isDescendantOf(*card->contentView()));
    EXPECT_EQ(card->backgroundColor(), platform::ui::Color::clear());
    EXPECT_TRUE(card->unconnectedOutlets().empty());

    card->setFrame({ 0, 0, 300, 150 });
    card->layoutIfNeeded();
    EXPECT_EQ(card->contentView()->frame(), (Rect { 0, 0, 300, 150 })) << "the content view fills the view";
}

TEST_F(XibViewObjcmbTest, AFrameKeepsItsOriginAndTakesTheNibsSizeUnlessTheViewSaysNo)
{
    EXPECT_EQ(XibViewObjcmb::create<Card>(Rect { 5, 6, 1, 1 })->frame(), (Rect { 5, 6, 200, 100 }));
    EXPECT_EQ(XibViewObjcmb::create<FixedCard>(Rect { 5, 6, 1, 1 })->frame(), (Rect { 5, 6, 1, 1 }));
}

TEST_F(XibViewObjcmbTest, SubviewsGoIntoTheContentView)
{
    auto card = XibViewObjcmb::create<Card>();
    auto badge = std::make_shared<View>();
    card->addSubview(badge);

    EXPECT_EQ(card->subviews().size(), 1u);
    EXPECT_EQ(badge->superview(), card->contentView());
    card->sendSubviewToBack(*badge);
    EXPECT_EQ(card->contentView()->subviews().front(), badge);
}

TEST_F(XibViewObjcmbTest, TheShortScreenVariantLoadsOnlyOn480PointScreensForViewsThatAsk)
{
    struct Case {
        platform::ui::Size screen;
        bool asks;
        const char* title;
    } cases[] = {
        { Screen::size320x480, true, "short" },
        { Screen::size320x568, true, "tall" },
        { Screen::size375x667, true, "tall" },
        { Screen::size320x480, false, "card" },
    };
    for (const auto& c : cases) {
        ScopedMainScreen screen(c.screen);
        SCOPED_TRACE(c.title);
        std::shared_ptr<Card> card = c.asks ? std::shared_ptr<Card>(XibViewObjcmb::create<ShortCard>())
                                            : XibViewObjcmb::create<Card>();
        EXPECT_EQ(card->m_title->text(), c.title);
        EXPECT_EQ(XibViewObjcmb::isSmallIPhone(), c.screen.height == 480);
    }
}

TEST_F(XibViewObjcmbTest, AViewPlacedInAnotherNibIsFilledFromItsOwnNib)
{
    auto table = NibRegistry::load("Table", nullptr).front();
    auto card = std::dynamic_pointer_cast<Card>(table->subviews().at(0));

    ASSERT_TRUE(card);
    EXPECT_EQ(card->frame(), (Rect { 10, 20, 200, 100 }));
    EXPECT_EQ(card->m_title->text(), "card");
}

TEST_F(XibViewObjcmbTest, AMissingNibIsAClearError)
{
    class Nameless : public XibViewObjcmb {
    public:
        std::string className() const override { return "Nameless"; }
    };
    try {
        XibViewObjcmb::create<Nameless>();
        ADD_FAILURE() << "no error";
    } catch (const NibError& error) {
        EXPECT_THAT(
            error.what(), testing::HasSubstr("No nib named 'Nameless' is registered (loaded by Nameless)"));
    }
    EXPECT_EQ(XibViewObjcmb::nibFromClass("PinView"), "PinView");
}

}
}
