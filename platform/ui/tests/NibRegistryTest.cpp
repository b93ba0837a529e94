#include "platform/ui/NibRegistry.h"

#include "platform/foundation/Value.h"
#include "platform/ui/Constraint.h"
#include "platform/ui/Control.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutAnchor.h"
#include "platform/ui/NibAttributeTarget.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibOwner.h"
#include "platform/ui/Screen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform::ui;
using platform::foundation::Value;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

/// A custom view that loads its own nib, "Badge", and can be placed in other nibs as "qz.Badge".
class Badge : public View, public NibOwner, public NibAttributeTarget {
public:
    Badge() { declareOutlet("dot", m_dot); }

    static std::shared_ptr<Badge> decode(const NibCoder& coder)
    {
        auto badge = std::make_shared<Badge>();
        badge->setFrame(coder.frame);
        badge->addSubview(NibRegistry::load("Badge", badge.get()).front());
        return badge;
    }

    std::string className() const override { return "Badge"; }

    bool setNibAttribute(const std::string& keyPath, const Value& value) override
    {
        if (keyPath != "count" || !value.integer())
            return false;
        count = int(*value.integer());
        return true;
    }

    std::shared_ptr<View> m_dot;
    int count { 0 };
};

/// The owner of the "Card" nib (or "Card4" on short screens when it asks for it).
class Card : public View, public NibOwner {
public:
    explicit Card(std::string nib = "Card", bool shortScreenVariant = false)
        : m_nib(std::move(nib))
        , m_shortScreenVariant(shortScreenVariant)
    {
        declareOutlet("title", m_title);
        declareOutlet("button", m_button);
        declareOutlet("badge", m_badge);
        declareOutlet("titleHeight", m_titleHeight, OutletRequirement::Optional);
        declareAction("pressed", [this](View& sender) { pressedBy.push_back(&sender); });
    }

    static std::shared_ptr<Card> make(std::string nib = "Card", bool shortScreenVariant = false)
    {
        auto card = std::make_shared<Card>(std::move(nib), shortScreenVariant);
        card->m_topLevel = NibRegistry::load(card->m_nib, card.get(), card->m_shortScreenVariant);
        card->addSubview(card->m_topLevel.front());
        return card;
    }

    std::string className() const override { return "Card"; }

    std::string m_nib;
    bool m_shortScreenVariant;
    std::vector<std::shared_ptr<View>> m_topLevel;
    std::shared_ptr<Label> m_title;
    std::weak_ptr<Control> m_button;
    std::shared_ptr<Badge> m_badge;
    std::shared_ptr<Constraint> m_titleHeight;
    std::vector<View*> pressedBy;
};

void buildCard(NibBuilder& nib, double height)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 200, height }));
    nib.topLevel(std::make_shared<View>(Rect { 0, 0, 1, 1 }));
    auto title = std::make_shared<Label>();
    title->setText("Hello");
    root->addSubview(title);
    nib.outlet("title", title);
    auto button = std::make_shared<Control>(Rect { 150, 10, 40, 40 });
    root->addSubview(button);
    nib.outlet("button", button);
    nib.connectAction(*button, ControlEvent::TouchUpInside, "pressed");
    auto badge = nib.custom<Badge>("qz.Badge", { 0, 60, 30, 30 });
    root->addSubview(badge);
    nib.outlet("badge", badge);
    nib.attribute(*badge, "count", 7);
    nib.attribute(*root, "layer.cornerRadius", 4);
    nib.attribute(*root, "backgroundColor", "#FF0000");
    nib.constrain(root, "H:|-8-[title]-8-|", { { "title", title } });
    nib.constrain(root, "V:|-8-[title]", { { "title", title } });
    auto titleHeight = heightAnchor(title).constraintEqualToConstant(21);
    nib.constrain(title, { titleHeight });
    nib.outlet("titleHeight", titleHeight);
}

class NibRegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        NibRegistry::registerNib("Badge", [](NibBuilder& nib) {
            auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 30, 30 }));
            auto dot = std::make_shared<View>(Rect { 10, 10, 10, 10 });
            root->addSubview(dot);
            nib.outlet("dot", dot);
        });
        NibRegistry::registerClass("qz.Badge", [](const NibCoder& coder) { return Badge::decode(coder); });
        NibRegistry::registerNib("Card", [](NibBuilder& nib) { buildCard(nib, 100); });
        NibRegistry::registerNib("Card4", [](NibBuilder& nib) { buildCard(nib, 80); });
    }

    void TearDown() override
    {
        for (const auto& nib : NibRegistry::nibNames())
            NibRegistry::removeNib(nib);
        for (const auto& name : NibRegistry::classNames())
            NibRegistry::removeClass(name);
    }

    template<class F> std::string errorOf(F load)
    {
        try {
            load();
        } catch (const NibError& error) {
            return error.what();
        }
        return "no error";
    }
};

}

TEST_F(NibRegistryTest, LoadingBindsOutletsActionsAttributesConstraintsAndNestedViews)
{
    auto card = Card::make();

    ASSERT_EQ(card->m_topLevel.size(), 2u) << "top-level views in order";
    EXPECT_EQ(card->m_topLevel[0]->frame(), (Rect { 0, 0, 200, 100 }));
    ASSERT_TRUE(card->m_title);
    EXPECT_EQ(card->m_title->text(), "Hello");
    EXPECT_TRUE(card->unconnectedOutlets().empty());

    auto button = card->m_button.lock();
    ASSERT_TRUE(button) << "a weak outlet to a view that the tree holds";
    button->sendActions(ControlEvent::TouchUpInside);
    EXPECT_THAT(card->pressedBy, ElementsAre(button.get()));

    ASSERT_TRUE(card->m_badge);
    EXPECT_TRUE(card->m_badge->m_dot) << "the nested custom view loaded its own nib with itself as owner";
    EXPECT_EQ(card->m_badge->frame(), (Rect { 0, 60, 30, 30 }));
    EXPECT_EQ(card->m_badge->count, 7);
    EXPECT_EQ(card->m_topLevel[0]->cornerRadius(), 4);
    EXPECT_EQ(card->m_topLevel[0]->backgroundColor(), Color::red());

    card->setFrame({ 0, 0, 200, 100 });
    card->layoutIfNeeded();
    EXPECT_EQ(card->m_title->frame(), (Rect { 8, 8, 184, 21 }));
    EXPECT_EQ(card->m_titleHeight->constant(), 21);
    EXPECT_TRUE(card->m_topLevel[0]->translatesAutoresizingMaskIntoConstraints())
        << "the holder keeps its frame";

    std::weak_ptr<Card> gone = card;
    card.reset();
    EXPECT_TRUE(gone.expired());
    button->sendActions(ControlEvent::TouchUpInside); // must not reach the released owner
}

TEST_F(NibRegistryTest, TheShortScreenVariantIsLoadedOnlyOn480PointScreensWhenAskedFor)
{
    struct Case {
        Size screen;
        bool asks;
        double height;
    } cases[] = {
        { Screen::size320x480, true, 80 },
        { Screen::size320x480, false, 100 },
        { Screen::size320x568, true, 100 },
        { Screen::size375x667, true, 100 },
    };
    for (const auto& c : cases) {
        ScopedMainScreen screen(c.screen);
        auto card = Card::make("Card", c.asks);
        EXPECT_EQ(card->m_topLevel[0]->frame().height(), c.height)
            << toString(c.screen) << " asks " << c.asks;
    }
    ScopedMainScreen small(Screen::size320x480);
    EXPECT_EQ(NibRegistry::variantName("PinView", true), "PinView4");
    EXPECT_EQ(NibRegistry::variantName("PinView", false), "PinView");
}

TEST_F(NibRegistryTest, MissingNibsOutletsAndActionsAreClearErrors)
{
    NibRegistry::registerNib("Undeclared", [](NibBuilder& nib) {
        nib.topLevel(std::make_shared<View>());
        nib.outlet("subtitle", std::make_shared<Label>());
    });
    NibRegistry::registerNib(
        "WrongType", [](NibBuilder& nib) { nib.outlet("title", nib.topLevel(std::make_shared<View>())); });
    NibRegistry::registerNib("NoAction", [](NibBuilder& nib) {
        nib.connectAction(*nib.topLevel(std::make_shared<Control>()), ControlEvent::TouchUpInside, "tapped");
    });
    NibRegistry::registerNib("Empty", [](NibBuilder&) {});
    NibRegistry::registerNib("Unknown", [](NibBuilder& nib) { nib.topLevel(nib.custom("qz.Gadget", {})); });
    NibRegistry::registerNib("Attribute", [](NibBuilder& nib) {
        nib.attribute(*nib.topLevel(std::make_shared<View>()), "layer.shadowOpacity", 0.5);
    });
    NibRegistry::registerNib("Loop", [](NibBuilder& nib) { nib.topLevel(nib.custom("Looping", {})); });
    NibRegistry::registerClass(
        "Looping", [](const NibCoder&) { return NibRegistry::load("Loop", nullptr).front(); });

    struct Case {
        std::string nib;
        std::string message;
    } cases[] = {
        { "Nope", "No nib named 'Nope' is registered (loaded by Card)" },
        { "Undeclared", "Nib 'Undeclared' connects outlet 'subtitle', which Card does not declare" },
        { "WrongType",
            "Nib 'WrongType' connects outlet 'title' of Card, which takes platform::ui::Label, to View" },
        { "NoAction", "Nib 'NoAction' connects action 'tapped', which Card does not declare" },
        { "Empty", "Nib 'Empty' has no top-level view" },
        { "Unknown", "Nib 'Unknown' places the custom class 'qz.Gadget', which is not registered" },
        { "Attribute", "Nib 'Attribute' sets the attribute 'layer.shadowOpacity' on View" },
        { "Loop", "Nib 'Loop' contains itself" },
    };
    for (const auto& c : cases)
        EXPECT_THAT(errorOf([&] { Card::make(c.nib); }), HasSubstr(c.message)) << c.nib;

    EXPECT_THAT(
        errorOf([] { NibRegistry::load("Undeclared", nullptr); }), HasSubstr("loaded without an owner"));
    EXPECT_THAT(
        errorOf([] { NibRegistry::registerNib("Card", [](NibBuilder&) {}); }), HasSubstr("registered twice"));
}

TEST_F(NibRegistryTest, ModuleQualifiedClassNamesFindThePlainClass)
{
    struct Case {
        const char* name;
        const char* plain;
    } cases[] = { { "qz.XibView", "XibView" }, { "XibView", "XibView" }, { "app.qz.Badge", "Badge" } };
    for (const auto& c : cases)
        EXPECT_EQ(NibRegistry::plainClassName(c.name), c.plain);

    EXPECT_TRUE(NibRegistry::hasClass("Badge"));
    EXPECT_TRUE(NibRegistry::hasClass("other.Badge"));
    EXPECT_EQ(NibRegistry::classNames(), std::vector<std::string> { "qz.Badge" });
    auto plain = NibRegistry::instantiate("Badge", {});
    auto qualified = NibRegistry::instantiate("qz.Badge", { { 1, 2, 3, 4 } });
    EXPECT_TRUE(std::dynamic_pointer_cast<Badge>(plain));
    EXPECT_EQ(qualified->frame(), (Rect { 1, 2, 3, 4 }));
    EXPECT_THAT(errorOf([] { NibRegistry::registerClass("Badge", [](const NibCoder&) { return nullptr; }); }),
        HasSubstr("registered twice"));
}

TEST_F(NibRegistryTest, TheCheckOfEveryClassFindsMissingNibsAndUnconnectedOutlets)
{
    NibRegistry::registerClass("Card", {}, [] { return Card::make("Card", true); });
    EXPECT_THAT(NibRegistry::verifyClasses(), testing::IsEmpty());

    NibRegistry::removeNib("Card4");
    NibRegistry::registerNib("Sparse", [](NibBuilder& nib) { nib.topLevel(std::make_shared<View>()); });
    NibRegistry::registerClass("SparseCard", {}, [] { return Card::make("Sparse"); });
    auto problems = NibRegistry::verifyClasses();

    EXPECT_THAT(problems,
        testing::UnorderedElementsAre(
            "Card on a 320x480 screen: No nib named 'Card4' is registered (loaded by Card)",
            "SparseCard on a 320x480 screen: outlet 'badge' is not connected",
            "SparseCard on a 320x480 screen: outlet 'button' is not connected",
            "SparseCard on a 320x480 screen: outlet 'title' is not connected",
            "SparseCard on a 320x568 screen: outlet 'badge' is not connected",
            "SparseCard on a 320x568 screen: outlet 'button' is not connected",
            "SparseCard on a 320x568 screen: outlet 'title' is not connected"));
    EXPECT_EQ(Screen::main().bounds().size, Screen::size320x568) << "the check puts the screen back";
}
