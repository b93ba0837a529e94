#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEdit.h"

#include "Zorvik/Views/Colours/Colours.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBar/NavigationBarTheme.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Dictionary;

class CancelLog : public NavigationBarModeEditDelegateObjc {
public:
    void save(SavedBlock, SaveFailedBlock) override { calls.push_back("save"); }
    bool cancelled(const Document& unedited) override
    {
        calls.push_back("cancelled");
        cancelledWith = unedited;
        return false;
    }
    void done() override { calls.push_back("done"); }

    std::vector<std::string> calls;
    Document cancelledWith;
};

using NavigationBarModeEditTest = FrameTest;

TEST_F(NavigationBarModeEditTest, ItsThemesAreTheEditingPairWithSharedFonts)
{
    auto disabled = NavigationBarModeEdit::defaultDisabledTheme();
    EXPECT_EQ(disabled->titleColour(), Colours::teal());
    EXPECT_EQ(disabled->backImage(), image("BtnTealLessThan"));
    EXPECT_EQ(disabled->positiveText(), std::nullopt);
    auto editing = NavigationBarModeEdit::defaultEditingTheme();
    EXPECT_EQ(editing->backText()->string(), "cancel");
    EXPECT_EQ(editing->backText()->attributesAt(0).font, NavigationBarModeEdit::negativeFont());
    EXPECT_EQ(editing->positiveText()->attributesAt(0).font->name(), "OpenSans-SemiBold");
    EXPECT_EQ(&NavigationBarModeEdit::positiveFont(), &NavigationBarModeEdit::positiveFont());
    auto plain = NavigationBarModeEdit::nonEditingTheme();
    EXPECT_FALSE(plain->backImage() || plain->backText() || plain->positiveImage() || plain->positiveText());
}

TEST_F(NavigationBarModeEditTest, CancelAlwaysLeavesEditingAndTheDocumentIsKeptAsGiven)
{
    auto bar = NavigationBar::make("Recipient");
    window->addSubview(bar);
    auto form = std::make_shared<CancelLog>();
    auto record = Dictionary::make({ { "name", "Acme Ltd" } });
    auto mode = NavigationBarModeEdit::make(bar, form, record, NavigationBarModeEdit::defaultDisabledTheme(),
        NavigationBarModeEdit::defaultEditingTheme());
    EXPECT_TRUE(bar->positiveButtonHidden()) << "the disabled theme has no right button";

    mode->setIsEditing(true);
    record->set("name", "Changed");
    tap("save");
    tap("cancel");
    EXPECT_EQ(form->calls, std::vector<std::string> { "cancelled" }) << "the right button does nothing";
    EXPECT_EQ(form->cancelledWith.dictionary(), record);
    EXPECT_FALSE(mode->isEditing()) << "whatever the form answered";
    tap("BtnTealLessThan");
    EXPECT_EQ(form->calls, (std::vector<std::string> { "cancelled", "done" }));
}

}
}
