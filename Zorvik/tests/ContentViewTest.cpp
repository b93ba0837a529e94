#include "Zorvik/Views/ContentView/ContentView.h"

#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::foundation::Dictionary;
using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;

/// A code-made screen on the plain frame, with a content nib of its own.
class NoticeView : public TemplateView {
public:
    std::string className() const override { return "NoticeView"; }
};

using ContentViewTest = FrameTest;

TEST_F(ContentViewTest, TheLabelFollowsTheRecordGivenAtConstruction)
{
    auto acme = Dictionary::make({ { "name", "Acme Ltd" } });
    auto view = ContentView::make(acme);
    EXPECT_EQ(view->businessNameLabel()->text(), "Acme Ltd");
    acme->set("name", "Acme Widgets Ltd");
    EXPECT_EQ(view->businessNameLabel()->text(), "Acme Widgets Ltd");
    acme->set("address_line_1", "1 High Street");
    view->observeValue(*acme, "address_line_1", {});
    EXPECT_EQ(view->businessNameLabel()->text(), "Acme Widgets Ltd") << "any notification refreshes";

    auto brook = Dictionary::make({ { "name", "Brook & Sons" } });
    view->setBusiness(brook);
    EXPECT_EQ(view->businessNameLabel()->text(), "Brook & Sons");
    brook->set("name", "Brook and Sons");
    EXPECT_EQ(view->businessNameLabel()->text(), "Brook & Sons")
        << "the observation stays on the first record";
    acme->set("name", "Acme Holdings");
    EXPECT_EQ(view->businessNameLabel()->text(), "Brook and Sons");

    auto nameless = ContentView::make(nullptr);
    EXPECT_EQ(nameless->businessNameLabel()->text(), std::nullopt);
    nameless->setBusiness(Dictionary::make());
    EXPECT_EQ(nameless->businessNameLabel()->text(), std::nullopt);
}

TEST_F(ContentViewTest, AFrameLoadsItsOwnContentButNeverItselfAgain)
{
    NibRegistry::registerNib("NoticeView", [](NibBuilder& nib) {
        auto root = nib.topLevel(std::make_shared<platform::ui::View>(Rect { 0, 0, 320, 100 }));
        auto text = std::make_shared<platform::ui::Label>();
        text->setText(std::string("Invoices are due in 30 days"));
        root->addSubview(text);
    });
    auto notice = XibViewObjcmb::create<NoticeView>();
    NibRegistry::removeNib("NoticeView");
    EXPECT_EQ(notice->contentHolder()->subviews().size(), 1u);
    EXPECT_EQ(TemplateView::make()->contentHolder()->subviews().size(), 0u);
    EXPECT_EQ(ContentView::make(nullptr)->contentHolder()->subviews().size(), 0u);
    EXPECT_EQ(notice->navigationBar()->text(), std::string());
}

TEST_F(ContentViewTest, ErrorsReuseOneDialogOverTheWholeFrame)
{
    auto view = TemplateView::make();
    window->setContentView(view);
    view->showError("Oops", "First", "Ok");
    auto dialog = view->errorDialog();
    tap("Ok");
    view->showError("Oops", "Second", "Try again.");
    layout();
    EXPECT_EQ(view->errorDialog(), dialog);
    EXPECT_EQ(dialog->message(), "Second");
    EXPECT_EQ(dialog->buttonText(), "Try again.");
    EXPECT_EQ(dialog->convertRectTo(dialog->bounds(), view.get()), view->bounds());
}

}
}
