#pragma once

#include "Zorvik/ViewControllers/InvoiceReferenceNumberViewController/InvoiceReferenceNumberViewController.h"
#include "Zorvik/ViewControllers/LineItemsViewController.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/InlineVATView/InlineVATView.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/foundation/Array.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"

#include <memory>
#include <string>
#include <vector>

namespace zorvik::test {

/// A small screen that holds the invoice editor's widgets as the new-invoice form will: an amount field
/// (placeholder "amount") over an InlineVATView. The VAT view takes touches exactly while the amount is
/// being typed and follows the amount as it changes. The screen counts the amount's editing-changed events,
/// opens the line-items and reference editors as the form's screen does, and records what they hand back.
class EditorHostScreen : public platform::ui::ViewController,
                         public LineItemsViewControllerDelegate,
                         public InvoiceReferenceNumberDelegate {
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

    /// Opens the line-items editor on `items`: presented without animation, then given the list.
    std::shared_ptr<LineItemsViewController> openLineItems(
        platform::foundation::ArrayRef items, bool readOnly = false)
    {
        m_lineItems = std::move(items);
        auto editor = std::make_shared<LineItemsViewController>();
        editor->setDelegate(std::shared_ptr<LineItemsViewControllerDelegate>(shared_from_this(), this));
        if (readOnly)
            editor->setReadOnly(true);
        presentViewController(editor, false);
        editor->setLineItems(lineItems());
        return editor;
    }

    /// Opens the reference editor (or its read-only kind) on `reference` over the invoices.
    std::shared_ptr<InvoiceReferenceNumberViewController> openReference(
        const api::Reference& reference, platform::foundation::ArrayRef invoices, bool readOnly = false)
    {
        auto system = api::SequentialReferenceComponentSystem::sequentialReferenceComponentSystemWithInvoices(
            invoices);
        auto editor = readOnly
            ? std::make_shared<ReadOnlyInvoiceReferenceNumberViewController>(reference, system)
            : std::make_shared<InvoiceReferenceNumberViewController>(reference, system);
        if (!readOnly)
            editor->setDelegate(std::shared_ptr<InvoiceReferenceNumberDelegate>(shared_from_this(), this));
        editor->setModalPresentationStyle(platform::ui::ModalPresentationStyle::OverCurrentContext);
        presentViewController(editor, false);
        return editor;
    }

    platform::foundation::ArrayRef lineItems() const override { return m_lineItems; }
    void setLineItems(const platform::foundation::ArrayRef& lineItems) override
    {
        m_lineItems = lineItems;
        returnedLineItems.push_back(lineItems);
    }
    void invoiceReferenceNumberUpdated(const api::Reference& reference) override
    {
        savedReferences.push_back(reference.prefix() + "|" + reference.counter());
    }

    std::shared_ptr<CurrencyTextField> amountTextField;
    std::shared_ptr<InlineVATView> vatView;
    int amountChanges { 0 };
    /// Each list the line-items editor handed back.
    std::vector<platform::foundation::ArrayRef> returnedLineItems;
    /// Each reference the reference editor saved, as "prefix|counter".
    std::vector<std::string> savedReferences;

private:
    platform::foundation::ArrayRef m_lineItems;
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
