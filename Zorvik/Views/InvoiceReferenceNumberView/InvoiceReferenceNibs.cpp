#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNibs.h"

#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNumberFormView.h"
#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNumberView.h"
#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceTextFields.h"
#include "platform/foundation/Array.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/Screen.h"

#include <mutex>

namespace zorvik {

using platform::ui::Button;
using platform::ui::Color;
using platform::ui::ControlEvent;
using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::Rect;
using platform::ui::TextField;
using platform::ui::View;
using Views = platform::ui::VisualFormat::Views;

namespace {

// The height of the panel, its bar included.
constexpr double kPanelHeight = 300;

void buildInvoiceReferenceNumberView(NibBuilder& nib)
{
    auto bounds = platform::ui::Screen::main().bounds();
    auto root = nib.topLevel(std::make_shared<View>(bounds));
    auto shade = std::make_shared<View>();
    shade->setBackgroundColor(Color::black());
    shade->setAlpha(0);
    shade->setAccessibilityLabel("dimmed area");
    auto touch = std::make_shared<platform::ui::TapGestureRecognizer>();
    touch->addHandler([action = nib.action("shadowViewTouched")](
                          platform::ui::GestureRecognizer& recognizer) { action(*recognizer.view()); });
    shade->addGestureRecognizer(touch);
    root->addSubview(shade);
    nib.outlet("shadowView", shade);
    auto holder = nib.custom("ViewHolder", Rect::zero());
    root->addSubview(holder);
    nib.outlet("formView", holder);
    Views views { { "shade", shade }, { "holder", holder } };
    nib.constrain(root, "H:|[shade]|", views);
    nib.constrain(root, "H:|[holder]|", views);
    nib.constrain(root, "V:|[shade][holder(==panel)]", views, { { "panel", kPanelHeight } });
}

std::shared_ptr<Label> infoLabel()
{
    auto label = std::make_shared<Label>();
    label->setNumberOfLines(0);
    label->setTextAlignment(platform::ui::TextAlignment::Center);
    return label;
}

void buildInvoiceReferenceNumberFormView(NibBuilder& nib)
{
    double width = platform::ui::Screen::main().bounds().width();
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, width, kPanelHeight - 50 }));
    root->setBackgroundColor(Color::white());

    auto resting = std::make_shared<View>();
    root->addSubview(resting);
    nib.outlet("nonEditingView", resting);
    auto preview = std::make_shared<TextField>();
    preview->setUserInteractionEnabled(false);
    preview->setTextAlignment(platform::ui::TextAlignment::Center);
    nib.outlet("referencePreviewTextField", preview);
    auto change = std::make_shared<Button>(platform::ui::ButtonType::Custom);
    change->setTitle(std::string("change"), platform::ui::ControlState::Normal);
    change->setTitleColor(Color::fromBytes(0, 188, 203), platform::ui::ControlState::Normal);
    nib.outlet("showEditingViewButton", change);
    nib.connectAction(*change, ControlEvent::TouchUpInside, "showEditingView");
    auto restingInfo = infoLabel();
    nib.outlet("nonEditingViewInfoLabel", restingInfo);
    for (const std::shared_ptr<View>& view :
        std::initializer_list<std::shared_ptr<View>> { preview, change, restingInfo })
        resting->addSubview(view);

    auto editing = std::make_shared<View>();
    root->addSubview(editing);
    nib.outlet("editingView", editing);
    auto prefix
        = nib.custom<InvoiceReferencePrefixTextField>("InvoiceReferencePrefixTextField", Rect::zero());
    prefix->setPlaceholder(std::string("prefix"));
    nib.outlet("referencePrefixTextField", prefix);
    auto counter
        = nib.custom<InvoiceReferenceNumberTextField>("InvoiceReferenceNumberTextField", Rect::zero());
    counter->setPlaceholder(std::string("number"));
    nib.outlet("referenceNumberTextField", counter);
    for (const auto& field :
        { std::static_pointer_cast<TextField>(prefix), std::static_pointer_cast<TextField>(counter) })
        nib.connectAction(*field, ControlEvent::EditingDidBegin, "textFieldBeganEditing");
    auto editingInfo = infoLabel();
    nib.outlet("editingViewInfoLabel", editingInfo);
    for (const std::shared_ptr<View>& view :
        std::initializer_list<std::shared_ptr<View>> { prefix, counter, editingInfo })
        editing->addSubview(view);

    Views views { { "resting", resting }, { "preview", preview }, { "change", change },
        { "restingInfo", restingInfo }, { "editing", editing }, { "prefix", prefix }, { "counter", counter },
        { "editingInfo", editingInfo } };
    platform::ui::VisualFormat::Metrics metrics { { "width", width }, { "height", kPanelHeight - 50 } };
    nib.constrain(root, "H:|[resting(==width)]|", views, metrics);
    nib.constrain(root, "V:|[resting(==height)]|", views, metrics);
    nib.constrain(root, "H:|[editing]|", views);
    nib.constrain(root, "V:|[editing]|", views);
    nib.constrain(resting, "H:|-20-[preview]-10-[change(==80)]-20-|", views);
    nib.constrain(resting, "H:|-20-[restingInfo]-20-|", views);
    nib.constrain(resting, "V:|-20-[preview(==44)]-20-[restingInfo(==60)]", views);
    nib.constrain(resting, "V:|-20-[change(==44)]", views);
    nib.constrain(editing, "H:|-20-[prefix]-10-[counter(==prefix)]-20-|", views);
    nib.constrain(editing, "H:|-20-[editingInfo]-20-|", views);
    nib.constrain(editing, "V:|-20-[prefix(==44)]-20-[editingInfo(==80)]", views);
    nib.constrain(editing, "V:|-20-[counter(==44)]", views);
}

api::SequentialReferenceComponentSystem sampleSystem()
{
    return api::SequentialReferenceComponentSystem::sequentialReferenceComponentSystemWithInvoices(
        platform::foundation::Array::make());
}

api::Reference sampleReference()
{
    return api::Reference::referenceWithPrefix("INV-", "001");
}

}

void registerInvoiceReferenceNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        platform::ui::NibRegistry::registerClass(
            "InvoiceReferencePrefixTextField", InvoiceReferencePrefixTextField::fromNib);
        platform::ui::NibRegistry::registerClass(
            "InvoiceReferenceNumberTextField", InvoiceReferenceNumberTextField::fromNib);
        platform::ui::NibRegistry::registerClass("InvoiceReferenceNumberView", {},
            [] { return InvoiceReferenceNumberView::make(sampleReference(), {}, sampleSystem()); });
        platform::ui::NibRegistry::registerClass("ReadOnlyInvoiceReferenceNumberView", {},
            [] { return ReadOnlyInvoiceReferenceNumberView::make(sampleReference(), {}, sampleSystem()); });
        platform::ui::NibRegistry::registerClass("InvoiceReferenceNumberFormView", {},
            [] { return InvoiceReferenceNumberFormView::make(sampleReference(), {}, sampleSystem()); });
        platform::ui::NibRegistry::registerClass("ReadOnlyInvoiceReferenceNumberFormView", {}, [] {
            return XibViewObjcmb::create<ReadOnlyInvoiceReferenceNumberFormView>(
                Rect::zero(), sampleReference(), std::weak_ptr<InvoiceReferenceNumberView>(), sampleSystem());
        });
        platform::ui::NibRegistry::registerNib("InvoiceReferenceNumberView", buildInvoiceReferenceNumberView);
        platform::ui::NibRegistry::registerNib(
            "InvoiceReferenceNumberFormView", buildInvoiceReferenceNumberFormView);
    });
}

}
