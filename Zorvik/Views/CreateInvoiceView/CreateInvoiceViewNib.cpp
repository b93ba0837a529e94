#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Control.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutAnchor.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"

#include <mutex>

namespace zorvik {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::ControlEvent;
using platform::ui::ImageView;
using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::Rect;
using platform::ui::View;

namespace {

constexpr double kMargin = 20;
constexpr double kRow = 44;
constexpr double kIcon = 20;
// Where the VAT view sits: one row of the VAT nib high, collapsed; it doubles while VAT is being added.
constexpr double kVATTop = 60;
constexpr double kVATRow = 50;
constexpr double kBelowVAT = kVATTop + kVATRow;

std::shared_ptr<Button> button(NibBuilder& nib, const std::shared_ptr<platform::ui::View>& root, Rect frame,
    const char* title, const char* outlet, const char* action)
{
    auto control = std::make_shared<Button>(ButtonType::Custom, frame);
    if (title)
        control->setTitle(std::string(title));
    root->addSubview(control);
    if (outlet)
        nib.outlet(outlet, control);
    nib.connectAction(*control, ControlEvent::TouchUpInside, action);
    return control;
}

// A text field of the form with its state icon on the left, which shows `emptyIcon` until the form first
// checks its fields.
std::shared_ptr<platform::ui::TextField> field(NibBuilder& nib,
    const std::shared_ptr<platform::ui::View>& root, std::shared_ptr<platform::ui::TextField> text, double y,
    const char* placeholder, const char* outlet, const char* icon, const char* emptyIcon)
{
    double width = root->frame().width();
    text->setFrame({ kMargin + kIcon + 10, y, width - 2 * kMargin - kIcon - 10, kRow });
    text->setPlaceholder(std::string(placeholder));
    root->addSubview(text);
    nib.outlet(outlet, text);
    auto image = std::make_shared<ImageView>(Rect { kMargin, y + (kRow - kIcon) / 2, kIcon, kIcon });
    image->setImage(platform::ui::Image::named(emptyIcon));
    root->addSubview(image);
    nib.outlet(icon, image);
    return text;
}

// Keeps `view` at its frame's place in `root`, measured from the bottom of the VAT view rather than the top,
// so that it moves down while the VAT view is expanded instead of lying under its second row.
void hangBelow(
    NibBuilder& nib, const std::shared_ptr<View>& root, const std::shared_ptr<View>& vat, const std::shared_ptr<View>& view)
{
    Rect frame = view->frame();
    nib.constrain(view,
        { platform::ui::widthAnchor(view).constraintEqualToConstant(frame.width()),
            platform::ui::heightAnchor(view).constraintEqualToConstant(frame.height()) });
    nib.constrain(root,
        { platform::ui::leftAnchor(view).constraintEqualTo(platform::ui::leftAnchor(root), frame.x()),
            platform::ui::topAnchor(view).constraintEqualTo(
                platform::ui::bottomAnchor(vat), frame.y() - kBelowVAT) });
}

void buildCreateInvoiceView(NibBuilder& nib)
{
    double width = platform::ui::Screen::main().bounds().width();
    auto root = nib.topLevel(std::make_shared<platform::ui::View>(Rect { 0, 0, width, 420 }));
    root->setBackgroundColor(platform::ui::Color::white());

    auto amount = nib.custom("CurrencyTextField", { kMargin, 10, width - 2 * kMargin, 50 });
    std::static_pointer_cast<platform::ui::TextField>(amount)->setPlaceholder(std::string("£0.00"));
    root->addSubview(amount);
    nib.outlet("amountTextField", amount);

    auto vat = nib.custom("InlineVATView", { 0, kVATTop, width, kVATRow });
    root->addSubview(vat);
    nib.outlet("vatView", vat);
    nib.constrain(vat, { platform::ui::heightAnchor(vat).constraintEqualToConstant(kVATRow) });
    nib.constrain(root,
        { platform::ui::leftAnchor(vat).constraintEqualTo(platform::ui::leftAnchor(root)),
            platform::ui::widthAnchor(vat).constraintEqualToConstant(width),
            platform::ui::topAnchor(vat).constraintEqualTo(platform::ui::topAnchor(root), kVATTop) });

    auto items = button(nib, root, { width - kMargin - 100, 10, 100, 24 }, "+ add items",
        "addLineItemsButton", "addLineItems");
    items->setHidden(true);

    double y = kBelowVAT;
    field(nib, root, std::make_shared<platform::ui::TextField>(), y, "Description of work",
        "descriptionTextField", "descriptionImage", "IconDescriptionEmpty");
    y += kRow;
    field(nib, root, std::make_shared<platform::ui::TextField>(), y, "Company name", "companyNameTextField",
        "companyNameImage", "IconCompanyNameEmpty");
    y += kRow;
    auto email
        = std::static_pointer_cast<platform::ui::TextField>(nib.custom("EmailTextField", Rect::zero()));
    field(nib, root, email, y, "Email address", "recipientEmailTextField", "emailImage", "IconEmailEmpty");
    auto contacts = button(nib, root, { width - kMargin - 30, y + 7, 30, 30 }, nullptr,
        "addContactFromAddressBookButton", "showAddContactFromAddressBookView");
    contacts->setAccessibilityLabel("Contacts");
    contacts->setHidden(true);
    auto contactsImage = std::make_shared<ImageView>(Rect { width - kMargin - 30, y + 7, 30, 30 });
    contactsImage->setHidden(true);
    root->addSubview(contactsImage);
    nib.outlet("addContactFromAddressBookImage", contactsImage);
    y += kRow + 10;

    auto date = std::make_shared<Label>();
    date->setFrame({ kMargin, y, 140, 24 });
    root->addSubview(date);
    nib.outlet("dateLabel", date);
    auto referenceButton = button(
        nib, root, { width - kMargin - 140, y, 140, 24 }, nullptr, nullptr, "showInvoiceReferenceNumberView");
    auto reference = std::make_shared<Label>();
    reference->setFrame({ 0, 0, 140, 24 });
    reference->setTextAlignment(platform::ui::TextAlignment::Right);
    referenceButton->addSubview(reference);
    nib.outlet("referenceLabel", reference);
    y += 34;

    button(nib, root, { kMargin, y, 80, 30 }, "More", "moreButton", "showMoreMenu");
    auto deleteIcon = std::make_shared<ImageView>(Rect { width - kMargin - 110, y + 5, kIcon, kIcon });
    root->addSubview(deleteIcon);
    nib.outlet("deleteIcon", deleteIcon);
    auto deleteLabel = std::make_shared<Label>();
    deleteLabel->setText(std::string("Delete"));
    deleteLabel->setFrame({ width - kMargin - 85, y, 85, 30 });
    root->addSubview(deleteLabel);
    nib.outlet("deleteLabel", deleteLabel);
    auto deleteButton
        = std::make_shared<Button>(ButtonType::Custom, Rect { width - kMargin - 110, y, 110, 30 });
    root->addSubview(deleteButton);
    nib.outlet("deleteButton", deleteButton);

    auto result = nib.custom("SendInvoiceResultView", { (width - 160) / 2, 100, 160, 160 });
    result->setHidden(true);
    root->addSubview(result);
    nib.outlet("resultView", result);

    for (const auto& view : root->subviews()) {
        if (view != result && view->frame().y() >= kBelowVAT)
            hangBelow(nib, root, vat, view);
    }
}

}

void registerCreateInvoiceViewNib()
{
    static std::once_flag registered;
    std::call_once(registered,
        [] { platform::ui::NibRegistry::registerNib("CreateInvoiceView", buildCreateInvoiceView); });
}

}
