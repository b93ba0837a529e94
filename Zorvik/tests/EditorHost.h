#pragma once

#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/InlineVATView/InlineVATView.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"

#include <memory>
#include <string>

namespace zorvik::test {

/// A small screen that holds the invoice editor's widgets as the new-invoice form will: an amount field
/// (placeholder "amount") over an InlineVATView. The VAT view takes touches exactly while the amount is
/// being typed and follows the amount as it changes. The screen counts the amount's editing-changed events.
class EditorHostScreen : public platform::ui::ViewController {
public:
    EditorHostScreen()
        : ViewController("EditorHostScreen")
    {
        declareOutlet("amountTextField", amountTextField);
        declareOutlet("vatView", vatView);
    }

    std::string className() const override { return "EditorHostScreen"; }

    void viewDidLoad() override
    {
        std::weak_ptr<platform::ui::ViewController> weakSelf = weak_from_this();
        auto showOptions = [this](platform::ui::Control&) {
            vatView->setUserInteractionEnabled(amountTextField->isFirstResponder());
        };
        amountTextField->addTarget(weakSelf, platform::ui::ControlEvent::EditingDidBegin, showOptions);
        amountTextField->addTarget(weakSelf, platform::ui::ControlEvent::EditingDidEnd, showOptions);
        amountTextField->addTarget(weakSelf, platform::ui::ControlEvent::EditingChanged, [this](auto&) {
            ++amountChanges;
            vatView->setNetAmount(amountTextField->amount());
        });
    }

    /// Registers the screen's nib.
    static void registerNib()
    {
        platform::ui::NibRegistry::registerNib("EditorHostScreen", [](platform::ui::NibBuilder& nib) {
            auto root
                = nib.topLevel(std::make_shared<platform::ui::View>(platform::ui::Screen::main().bounds()));
            root->setBackgroundColor(platform::ui::Color::white());
            auto amount = nib.custom<CurrencyTextField>("CurrencyTextField", { 0, 0, 320, 60 });
            amount->setPlaceholder(std::string("amount"));
            root->addSubview(amount);
            nib.outlet("amountTextField", amount);
            auto vat = nib.custom("InlineVATView", { 0, 0, 320, 50 });
            root->addSubview(vat);
            nib.outlet("vatView", vat);
            platform::ui::VisualFormat::Views views { { "amount", amount }, { "vat", vat } };
            nib.constrain(root, "H:|[amount]|", views);
            nib.constrain(root, "H:|[vat]|", views);
            nib.constrain(root, "V:|-80-[amount(==60)][vat]", views);
            nib.constrain(vat, "V:[vat(==50)]", views);
        });
    }

    std::shared_ptr<CurrencyTextField> amountTextField;
    std::shared_ptr<InlineVATView> vatView;
    int amountChanges { 0 };
};

/// A phone showing an EditorHostScreen on a navigation stack, with every app nib registered.
class EditorHostTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        registerNibs();
        EditorHostScreen::registerNib();
        host = std::make_shared<EditorHostScreen>();
        showStack({ host });
    }

    void TearDown() override
    {
        FrameTest::TearDown();
        platform::ui::NibRegistry::removeNib("EditorHostScreen");
    }

    /// The screen as the driver prints it.
    std::string screen() { return driver.screen(); }

    std::shared_ptr<EditorHostScreen> host;
};

}
