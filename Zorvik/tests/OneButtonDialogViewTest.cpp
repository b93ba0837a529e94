#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"

#include "Zorvik/Views/ContentView/TemplateView.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogControllerProtocol.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvik::test {
namespace {

using platform::ui::Rect;
using platform::ui::View;

/// Notes each dismissal and whether the dialog was still shown when it heard of it.
class DismissalLog : public OneButtonDialogControllerProtocol {
public:
    void dialogDismissed(OneButtonDialogView& dialog) override
    {
        stillShown.push_back(dialog.superview() != nullptr);
    }

    std::vector<bool> stillShown;
};

class OneButtonDialogViewTest : public FrameTest {
protected:
    std::shared_ptr<OneButtonDialogView> dialog() const
    {
        auto made = OneButtonDialogView::make();
        made->setTitle(std::string("Oops"));
        made->setMessage(std::string("We couldn't save your VAT info"));
        made->setButtonText(std::string("Try again."));
        return made;
    }
};

TEST_F(OneButtonDialogViewTest, ItCoversItsParentEdgeToEdgeWhateverItsNibSize)
{
    auto plain = std::make_shared<View>(Rect { 10, 20, 200, 300 });
    auto frame = TemplateView::make();
    window->addSubview(plain);
    window->addSubview(frame);
    for (const auto& parent : { plain, std::static_pointer_cast<View>(frame) }) {
        SCOPED_TRACE(parent->className());
        auto shown = dialog();
        shown->showInParent(parent);
        layout();
        EXPECT_EQ(shown->convertRectTo(shown->bounds(), parent.get()), parent->bounds());
        EXPECT_TRUE(shown->isDescendantOf(*parent));
        EXPECT_EQ(&parent->rootView(), &shown->rootView());
    }
    EXPECT_EQ(frame->contentView()->subviews().back()->className(), "OneButtonDialogView")
        << "over everything the frame's nib put there";
}

TEST_F(OneButtonDialogViewTest, TheButtonTellsTheControllerThenRemovesTheDialog)
{
    auto shown = dialog();
    EXPECT_EQ(shown->title(), "Oops");
    EXPECT_EQ(shown->message(), "We couldn't save your VAT info");
    EXPECT_EQ(shown->buttonText(), "Try again.");
    EXPECT_EQ(shown->button()->title(platform::ui::ControlState::Normal), "Try again.");

    auto parent = std::make_shared<View>(window->bounds());
    window->addSubview(parent);
    auto log = std::make_shared<DismissalLog>();
    shown->setController(log);
    shown->showInParent(parent);
    tap("Try again.");
    EXPECT_EQ(log->stillShown, std::vector<bool> { true });
    EXPECT_EQ(shown->superview(), nullptr);

    shown->setController({});
    shown->showInParent(parent);
    tap("Try again.");
    EXPECT_EQ(shown->superview(), nullptr) << "without a controller the press only removes it";
    EXPECT_EQ(log->stillShown.size(), 1u);
}

}
}
