#include "Zorvik/Views/ContentView/ContentViewObjc.h"

#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace zorvik::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::ui::Color;
using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;

/// A business screen whose content nib greets the user.
class SettingsView : public ContentViewObjc {
public:
    explicit SettingsView(DictionaryRef business)
        : ContentViewObjc(std::move(business))
    {
        declareOutlet("greeting", greeting);
    }
    std::string className() const override { return "SettingsView"; }

    std::shared_ptr<Label> greeting;
};

/// A second screen class that shows the same content.
class ReadOnlySettingsView : public SettingsView {
public:
    using SettingsView::SettingsView;
    std::string className() const override { return "ReadOnlySettingsView"; }
    std::optional<std::string> contentNib() const override { return "SettingsView"; }
};

/// A plain frame without content.
class EmptyFrame : public TemplateViewObjc {
public:
    std::string className() const override { return "EmptyFrame"; }
    std::optional<std::string> contentNib() const override { return std::nullopt; }
};

class ContentViewObjcTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        NibRegistry::registerNib("SettingsView", [](NibBuilder& nib) {
            auto root = nib.topLevel(std::make_shared<platform::ui::View>(Rect { 0, 0, 320, 300 }));
            auto greeting = std::make_shared<Label>(Rect { 20, 20, 280, 30 });
            greeting->setText(std::string("Your business"));
            root->addSubview(greeting);
            nib.outlet("greeting", greeting);
        });
    }

    void TearDown() override
    {
        NibRegistry::removeNib("SettingsView");
        FrameTest::TearDown();
    }

    template<class T = SettingsView> std::shared_ptr<T> show(DictionaryRef business)
    {
        auto view = XibViewObjcmb::create<T>(Rect::zero(), std::move(business));
        window->setContentView(view);
        layout();
        return view;
    }

    DictionaryRef acme = Dictionary::make({ { "name", "Acme Ltd" } });
};

TEST_F(ContentViewObjcTest, TheFrameHoldsTheContentNibNamedAfterTheScreen)
{
    for (bool readOnly : { false, true }) {
        SCOPED_TRACE(readOnly ? "ReadOnlySettingsView" : "SettingsView");
        auto view = readOnly ? show<ReadOnlySettingsView>(acme) : show(acme);
        ASSERT_TRUE(view->greeting);
        EXPECT_TRUE(view->greeting->isDescendantOf(*view->contentHolder()));
        auto content = view->contentHolder()->subviews().at(0);
        EXPECT_EQ(content->frame(), view->contentHolder()->bounds()) << "pinned to the holder";
        EXPECT_TRUE(view->unconnectedOutlets().empty());
        EXPECT_EQ(view->navigationBar()->text(), std::string());
        EXPECT_EQ(view->contentScrollView()->subviews().at(0), view->contentHolder());
    }
    auto empty = XibViewObjcmb::create<EmptyFrame>();
    EXPECT_TRUE(empty->contentHolder()->subviews().empty());
    EXPECT_EQ(empty->nib(), "TemplateView");
}

TEST_F(ContentViewObjcTest, TheHeaderFollowsTheNameOfTheRecordItWasMadeWith)
{
    auto view = show(acme);
    EXPECT_EQ(view->businessNameLabel()->text(), "Acme Ltd");
    EXPECT_EQ(view->businessNameLabelForAddLogoView()->text(), "Acme Ltd");
    EXPECT_TRUE(view->readOnlyView()->isHidden());

    acme->set("name", "Acme Widgets Ltd");
    EXPECT_EQ(view->businessNameLabel()->text(), "Acme Widgets Ltd");
    EXPECT_EQ(view->businessNameLabelForAddLogoView()->text(), "Acme Widgets Ltd");

    auto other = Dictionary::make({ { "name", "Brook & Sons" } });
    view->setBusiness(other);
    other->set("name", "Brook and Sons");
    EXPECT_EQ(view->businessNameLabel()->text(), "Acme Widgets Ltd") << "the new record is not observed";
    acme->set("name", "Acme Holdings");
    EXPECT_EQ(view->businessNameLabel()->text(), "Brook and Sons") << "the first record still is";

    auto label = view->businessNameLabel();
    window->setContentView(nullptr);
    view.reset();
    acme->set("name", "Gone Ltd");
    EXPECT_EQ(label->text(), "Brook and Sons") << "a view that has gone hears nothing";
}

TEST_F(ContentViewObjcTest, ErrorsShowInOneDialogOverTheWholeFrame)
{
    auto view = show(acme);
    view->showError("Oops", "We couldn't save your VAT info", "Try again.");
    auto dialog = view->errorView();
    tap("Try again.");
    EXPECT_EQ(dialog->superview(), nullptr);
    view->showError("Oops", "There was a problem updating your business information.", "Try again.");
    layout();
    EXPECT_EQ(view->errorView(), dialog);
    EXPECT_EQ(dialog->message(), "There was a problem updating your business information.");
    EXPECT_EQ(dialog->convertRectTo(dialog->bounds(), view.get()), view->bounds())
        << "the bar is covered too";
    EXPECT_THROW(tap("BtnTealLessThan"), platform::ui::ScreenDriverError);
}

TEST_F(ContentViewObjcTest, TheLogoAreaHasThreePresentations)
{
    auto view = show(acme);
    auto logo = image("IconDownChevron");
    struct Shown {
        bool readOnly, logoArea, grey, frame, prompt, buttonEnabled;
        Color nameColour;
    };
    auto shown = [&] {
        return Shown { !view->readOnlyView()->isHidden(), !view->addLogoView()->isHidden(),
            !view->greyBackground()->isHidden(), !view->companyLogoFrame()->isHidden(),
            !view->addLogoImage()->isHidden(), view->addLogoButton()->isEnabled(),
            view->businessNameLabelForAddLogoView()->textColor() };
    };

    view->showViewForAddingLogo();
    auto adding = shown();
    EXPECT_FALSE(adding.readOnly || adding.grey || adding.frame);
    EXPECT_TRUE(adding.logoArea && adding.prompt && adding.buttonEnabled);
    EXPECT_EQ(adding.nameColour, Color::white());

    view->showViewWithLogo(logo);
    auto withLogo = shown();
    EXPECT_FALSE(withLogo.readOnly || withLogo.prompt);
    EXPECT_TRUE(withLogo.logoArea && withLogo.grey && withLogo.frame && withLogo.buttonEnabled);
    EXPECT_EQ(withLogo.nameColour, Color::black());
    EXPECT_EQ(view->imageView()->image(), logo);

    view->showViewWithoutLogo();
    auto without = shown();
    EXPECT_TRUE(without.readOnly);
    EXPECT_FALSE(without.logoArea || without.grey || without.frame || without.buttonEnabled);
    EXPECT_EQ(without.nameColour, Color::black()) << "the label is left as it was";

    view->showBusyView();
    EXPECT_FALSE(view->spinnerContainer()->isHidden());
    EXPECT_TRUE(view->logoLoadingView()->animate());
    EXPECT_EQ(view->logoLoadingView()->spinnerColour(), Color::white());
    view->hideBusyView();
    EXPECT_TRUE(view->spinnerContainer()->isHidden());
    EXPECT_TRUE(view->logoLoadingView()->isHidden());
    EXPECT_FALSE(view->logoLoadingView()->animate());
}

TEST_F(ContentViewObjcTest, AShortScreenHasNoLogoArea)
{
    useScreen(platform::ui::Screen::size320x480);
    auto view = show(acme);
    EXPECT_EQ(view->addLogoView(), nullptr);
    EXPECT_EQ(view->addLogoButton(), nullptr);
    view->determineWhichLogoViewToShow();
    EXPECT_FALSE(view->readOnlyView()->isHidden());
    view->showViewWithLogo(image("IconDownChevron"));
    view->showBusyView();
    EXPECT_THAT(view->textDump(false), ::testing::Not(::testing::HasSubstr("LoadingView")));
}

}
}
