#include "Zorvik/Views/InlineVATView/VATNibs.h"

#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/InlineVATView/InlineVATView.h"
#include "Zorvik/Views/InlineVATView/SmallVATView.h"
#include "Zorvik/Views/LineView/LineView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/Switch.h"

#include <mutex>

namespace zorvik {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::Color;
using platform::ui::ControlEvent;
using platform::ui::ControlState;
using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::Rect;
using platform::ui::Switch;
using platform::ui::TextAlignment;
using platform::ui::View;

namespace {

// The height of one row of a VAT view.
constexpr double kRowHeight = 50;

std::shared_ptr<Label> label(const std::string& text, TextAlignment alignment = TextAlignment::Left)
{
    auto made = std::make_shared<Label>();
    made->setText(text);
    made->setTextAlignment(alignment);
    return made;
}

// A money field that only shows its amount.
std::shared_ptr<CurrencyTextField> amountDisplay(NibBuilder& nib)
{
    auto field = nib.custom<CurrencyTextField>("CurrencyTextField", Rect::zero());
    field->setUserInteractionEnabled(false);
    field->setTextAlignment(TextAlignment::Right);
    return field;
}

void buildSmallVATView(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 44 }));
    auto vatSwitch = std::make_shared<Switch>();
    root->addSubview(vatSwitch);
    nib.outlet("vatSwitch", vatSwitch);
    nib.connectAction(*vatSwitch, ControlEvent::ValueChanged, "switchToggled");
    auto title = label("20% VAT");
    root->addSubview(title);
    auto amount = nib.custom<CurrencyLabel>("CurrencyLabel", Rect::zero());
    amount->setTextAlignment(TextAlignment::Right);
    root->addSubview(amount);
    nib.outlet("currencyLabel", amount);

    platform::ui::VisualFormat::Views views { { "switch", vatSwitch }, { "title", title },
        { "amount", amount } };
    nib.constrain(root, "H:|-15-[switch(==51)]-10-[title]-10-[amount(==110)]-15-|", views);
    nib.constrain(root, "V:|-6-[switch(==31)]", views);
    nib.constrain(root, "V:|[title]|", views);
    nib.constrain(root, "V:|[amount]|", views);
}

// The first row: the switch with the prompt or the read-only line, between two lines.
std::shared_ptr<View> buildSwitchRow(NibBuilder& nib)
{
    auto row = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, kRowHeight }));
    auto topLine = std::make_shared<View>();
    topLine->setBackgroundColor(Color::fromWhite(0.85));
    row->addSubview(topLine);
    nib.outlet("topLine", topLine);
    auto bottomLine = std::make_shared<View>();
    bottomLine->setBackgroundColor(Color::fromWhite(0.85));
    row->addSubview(bottomLine);
    nib.outlet("bottomLine", bottomLine);

    auto prompt = std::make_shared<View>();
    row->addSubview(prompt);
    nib.outlet("vatPromptView", prompt);
    auto addVAT = std::make_shared<Button>(ButtonType::Custom);
    addVAT->setTitle(std::string("add VAT"), ControlState::Normal);
    addVAT->setContentHorizontalAlignment(platform::ui::ContentHorizontalAlignment::Left);
    prompt->addSubview(addVAT);
    nib.connectAction(*addVAT, ControlEvent::TouchUpInside, "toggleSwitch");

    auto readOnly = std::make_shared<View>();
    row->addSubview(readOnly);
    nib.outlet("vatMarginViewReadOnly", readOnly);
    auto readOnlyLine = label("");
    readOnly->addSubview(readOnlyLine);
    nib.outlet("marginLReadOnlyLabel", readOnlyLine);

    auto vatSwitch = std::make_shared<Switch>();
    vatSwitch->setAccessibilityLabel("VAT");
    row->addSubview(vatSwitch);
    nib.outlet("vatSwitch", vatSwitch);
    nib.connectAction(*vatSwitch, ControlEvent::ValueChanged, "switchToggled");

    platform::ui::VisualFormat::Views views { { "top", topLine }, { "bottom", bottomLine },
        { "prompt", prompt }, { "addVAT", addVAT }, { "readOnly", readOnly }, { "line", readOnlyLine },
        { "switch", vatSwitch } };
    nib.constrain(row, "H:|[top]|", views);
    nib.constrain(row, "V:|[top(==1)]", views);
    nib.constrain(row, "H:|[bottom]|", views);
    nib.constrain(row, "V:[bottom(==1)]|", views);
    nib.constrain(row, "H:|-15-[prompt]-10-[switch(==51)]-15-|", views);
    nib.constrain(row, "V:|[prompt]|", views);
    nib.constrain(row, "V:|-10-[switch(==31)]", views);
    nib.constrain(prompt, "H:|[addVAT]|", views);
    nib.constrain(prompt, "V:|[addVAT]|", views);
    nib.constrain(row, "H:|-15-[readOnly]-15-|", views);
    nib.constrain(row, "V:|[readOnly]|", views);
    nib.constrain(readOnly, "H:|[line]|", views);
    nib.constrain(readOnly, "V:|[line]|", views);
    return row;
}

// The second row: the VAT and the total.
void buildAmountsRow(NibBuilder& nib)
{
    auto row = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, kRowHeight }));
    auto amounts = std::make_shared<View>();
    row->addSubview(amounts);
    nib.outlet("vatMarginView", amounts);
    auto vatTitle = label("VAT 20%");
    auto margin = amountDisplay(nib);
    nib.outlet("marginTextField", margin);
    auto totalTitle = label("Total", TextAlignment::Right);
    auto total = amountDisplay(nib);
    nib.outlet("totalTextField", total);
    for (const auto& view :
        std::initializer_list<std::shared_ptr<View>> { vatTitle, margin, totalTitle, total })
        amounts->addSubview(view);
    auto middleLine = nib.custom<LineView>("LineView", Rect::zero());
    middleLine->setBackgroundColor(Color::fromWhite(0.85));
    row->addSubview(middleLine);
    nib.outlet("middleLineView", middleLine);

    platform::ui::VisualFormat::Views views { { "amounts", amounts }, { "vatTitle", vatTitle },
        { "margin", margin }, { "totalTitle", totalTitle }, { "total", total }, { "middle", middleLine } };
    nib.constrain(row, "H:|[amounts]|", views);
    nib.constrain(row, "V:|[amounts]|", views);
    nib.constrain(row, "H:|[middle]|", views);
    nib.constrain(row, "V:|[middle(==1)]", views);
    nib.constrain(
        amounts, "H:|-15-[vatTitle(==70)][margin(==80)]-5-[totalTitle(==50)]-5-[total]-15-|", views);
    for (const char* name : { "vatTitle", "margin", "totalTitle", "total" })
        nib.constrain(amounts, std::string("V:|[") + name + "]|", views);
}

}

void registerVATNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        platform::ui::NibRegistry::registerClass("SmallVATView", XibViewObjcmb::fromNib<SmallVATView>);
        platform::ui::NibRegistry::registerClass(
            "InlineVATView", ExpandingXibView::fromNib<InlineVATView>, [] {
                return ExpandingXibView::fromNib<InlineVATView>({ Rect { 0, 0, 320, kRowHeight } });
            });
        platform::ui::NibRegistry::registerNib("SmallVATView", buildSmallVATView);
        platform::ui::NibRegistry::registerNib("InlineVATView", [](NibBuilder& nib) {
            buildSwitchRow(nib);
            buildAmountsRow(nib);
        });
    });
}

}
