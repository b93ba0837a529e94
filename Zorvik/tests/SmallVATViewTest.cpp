#include "Zorvik/Views/InlineVATView/SmallVATView.h"

#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "platform/ui/Switch.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace zorvik::test {
namespace {

/// Records each flip it hears of, with the VAT the label showed at that moment.
class FlipRecorder : public SmallVATViewDelegate {
public:
    void vatSwitchToggled(bool on) override
    {
        flips.push_back({ on, view->currencyLabel()->text().value_or("") });
    }

    struct Flip {
        bool on;
        std::string labelBefore;
    };
    std::vector<Flip> flips;
    std::shared_ptr<SmallVATView> view;
};

TEST(SmallVATViewTest, ShowsTheVATInWholePenceAndTellsOnlyOfTheUsersFlips)
{
    registerNibs();
    auto view = XibViewObjcmb::create<SmallVATView>();
    auto recorder = std::make_shared<FlipRecorder>();
    recorder->view = view;
    view->setDelegate(recorder);

    view->setIsVATEnabled(true);
    view->setNetAmount(1234);
    EXPECT_EQ(view->currencyLabel()->text(), "£2.46");
    EXPECT_EQ(view->vatAmount(), 246);
    EXPECT_EQ(view->grossAmount(), 1480);
    EXPECT_TRUE(view->vatSwitch()->isOn());
    EXPECT_TRUE(recorder->flips.empty()) << "setIsVATEnabled tells no delegate";

    ASSERT_TRUE(view->vatSwitch()->tap());
    ASSERT_EQ(recorder->flips.size(), 1u);
    EXPECT_FALSE(recorder->flips[0].on);
    EXPECT_EQ(recorder->flips[0].labelBefore, "£2.46") << "the delegate hears before the label changes";
    EXPECT_EQ(view->currencyLabel()->text(), "£0.00");
}

}
}
