#include "Zorvik/Views/LineItemsView/LineItemNibs.h"

#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/CurrencyControls/LineItemAmountView/LineItemsAmountView.h"
#include "Zorvik/Views/InlineVATView/SmallVATView.h"
#include "Zorvik/Views/LineItemsView/LineItemDescriptionTextField.h"
#include "Zorvik/Views/LineItemsView/LineItemTableViewCell.h"
#include "Zorvik/Views/LineItemsView/LineItemsTableViewFooter.h"
#include "Zorvik/Views/LineItemsView/LineItemsView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"

#include <mutex>

namespace zorvik {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::ControlEvent;
using platform::ui::ControlState;
using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::Rect;
using platform::ui::TextAlignment;
using platform::ui::View;
using Views = platform::ui::VisualFormat::Views;

namespace {

// The height of each row of the amount view.
constexpr double kAmountRowHeight = 60;

std::shared_ptr<Button> textButton(const std::string& title)
{
    auto button = std::make_shared<Button>(ButtonType::Custom);
    button->setTitle(title, ControlState::Normal);
    button->setTitleColor(platform::ui::Color::fromBytes(0, 188, 203), ControlState::Normal);
    return button;
}

void buildLineItemsAmountView(NibBuilder& nib)
{
    auto prices = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, kAmountRowHeight }));
    auto amount = nib.custom<CurrencyTextField>("CurrencyTextField", Rect::zero());
    amount->setPlaceholder(std::string("unit price"));
    nib.outlet("amountField", amount);
    auto fewer = textButton("-");
    nib.outlet("decrementButton", fewer);
    nib.connectAction(*fewer, ControlEvent::TouchUpInside, "decrementQuantity");
    auto quantity = std::make_shared<Label>();
    quantity->setTextAlignment(TextAlignment::Center);
    nib.outlet("quantityLabel", quantity);
    auto more = textButton("+");
    nib.outlet("incrementButton", more);
    nib.connectAction(*more, ControlEvent::TouchUpInside, "incrementQuantity");
    for (const std::shared_ptr<View>& view :
        std::initializer_list<std::shared_ptr<View>> { amount, fewer, quantity, more })
        prices->addSubview(view);
    Views views { { "amount", amount }, { "fewer", fewer }, { "quantity", quantity }, { "more", more } };
    nib.constrain(prices, "H:|-15-[amount]-10-[fewer(==44)][quantity(==50)][more(==44)]-15-|", views);
    for (const char* name : { "amount", "fewer", "quantity", "more" })
        nib.constrain(prices, std::string("V:|-8-[") + name + "(==44)]", views);

    auto subtotalRow = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, kAmountRowHeight }));
    auto title = std::make_shared<Label>();
    title->setText(std::string("subtotal"));
    auto subtotal = nib.custom<CurrencyLabel>("CurrencyLabel", Rect::zero());
    subtotal->setTextAlignment(TextAlignment::Right);
    nib.outlet("subTotalLabel", subtotal);
    subtotalRow->addSubview(title);
    subtotalRow->addSubview(subtotal);
    Views rowViews { { "title", title }, { "subtotal", subtotal } };
    nib.constrain(subtotalRow, "H:|-15-[title]-10-[subtotal(==120)]-15-|", rowViews);
    nib.constrain(subtotalRow, "V:|-8-[title(==44)]", rowViews);
    nib.constrain(subtotalRow, "V:|-8-[subtotal(==44)]", rowViews);
}

void buildLineItemTableViewCell(NibBuilder& nib)
{
    using Cell = LineItemTableViewCell;
    auto cell = nib.topLevel(std::make_shared<Cell>());
    cell->setFrame({ 0, 0, 320, 2 * Cell::margin + 3 * Cell::partHeight + 3 * Cell::gap + kAmountRowHeight });
    const auto& content = cell->contentView();

    auto description = nib.custom<LineItemDescriptionTextField>("LineItemDescriptionTextField", Rect::zero());
    nib.outlet(*cell, "itemDescriptionText", description);
    auto remove = textButton("×");
    nib.outlet(*cell, "deleteLineItemButton", remove);
    remove->addAction(ControlEvent::TouchUpInside,
        [action = cell->action("deletePressed")](auto& sender) { action(sender); });
    auto amount = nib.custom<LineItemsAmountView>("LineItemsAmountView", { 0, 0, 320, kAmountRowHeight });
    nib.outlet(*cell, "itemAmountText", amount);
    auto vat = nib.custom<SmallVATView>("SmallVATView", { 0, 0, 320, Cell::partHeight });
    nib.outlet(*cell, "itemVATView", vat);
    auto itemLabel = std::make_shared<Label>();
    nib.outlet(*cell, "itemLabel", itemLabel);
    auto total = nib.custom<CurrencyLabel>("CurrencyLabel", Rect::zero());
    total->setTextAlignment(TextAlignment::Right);
    nib.outlet(*cell, "itemTotalText", total);
    for (const std::shared_ptr<View>& view :
        std::initializer_list<std::shared_ptr<View>> { description, remove, amount, vat, itemLabel, total })
        content->addSubview(view);

    Views views { { "description", description }, { "remove", remove }, { "amount", amount }, { "vat", vat },
        { "itemLabel", itemLabel }, { "total", total } };
    platform::ui::VisualFormat::Metrics metrics { { "margin", Cell::margin }, { "part", Cell::partHeight },
        { "gap", Cell::gap }, { "amountHeight", kAmountRowHeight } };
    nib.constrain(content, "H:|-15-[description]-10-[remove(==44)]-10-|", views);
    nib.constrain(content, "H:|[amount]|", views);
    nib.constrain(content, "H:|[vat]|", views);
    nib.constrain(content, "H:|-15-[itemLabel]-10-[total(==120)]-15-|", views);
    nib.constrain(content,
        "V:|-margin-[description(==part)]-gap-[amount]-gap-[vat(==part)]-gap-[itemLabel(==part)]", views,
        metrics);
    nib.constrain(content, "V:|-margin-[remove(==part)]", views, metrics);
    nib.constrain(content, "V:[vat]-gap-[total(==part)]", views, metrics);
    nib.constrain(amount, "V:[amount(==amountHeight)]", views, metrics);
    cell->awakeFromNib();
}

void buildLineItemsTableViewFooter(NibBuilder& nib)
{
    auto root = nib.topLevel(
        std::make_shared<View>(Rect { 0, 0, platform::ui::Screen::main().bounds().width(), 60 }));
    auto add = textButton("+ add item");
    root->addSubview(add);
    nib.outlet("addNewLineItemButton", add);
    nib.connectAction(*add, ControlEvent::TouchUpInside, "addNewInvoiceClicked");
    nib.constrain(root, "H:|-15-[add]-15-|", { { "add", add } });
    nib.constrain(root, "V:|-8-[add(==44)]", { { "add", add } });
}

void buildLineItemsView(NibBuilder& nib)
{
    auto bounds = platform::ui::Screen::main().bounds();
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, bounds.width(), bounds.height() - 64 }));
    auto table = std::make_shared<platform::ui::TableView>();
    table->setSeparatorStyle(platform::ui::TableViewCellSeparatorStyle::None);
    root->addSubview(table);
    nib.outlet("lineItemsTable", table);
    platform::ui::VisualFormat::Metrics metrics { { "width", bounds.width() },
        { "height", bounds.height() - 64 } };
    nib.constrain(root, "H:|[table(==width)]|", { { "table", table } }, metrics);
    nib.constrain(root, "V:|[table(==height)]|", { { "table", table } }, metrics);
}

}

void registerLineItemNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        platform::ui::NibRegistry::registerClass(
            "LineItemsAmountView", ExpandingXibView::fromNib<LineItemsAmountView>, [] {
                return ExpandingXibView::fromNib<LineItemsAmountView>(
                    { Rect { 0, 0, 320, kAmountRowHeight } });
            });
        platform::ui::NibRegistry::registerClass(
            "LineItemDescriptionTextField", LineItemDescriptionTextField::fromNib);
        platform::ui::NibRegistry::registerClass("LineItemTableViewCell", {},
            [] { return platform::ui::NibRegistry::load("LineItemTableViewCell", nullptr).front(); });
        platform::ui::NibRegistry::registerClass(
            "LineItemsTableViewFooter", XibViewObjcmb::fromNib<LineItemsTableViewFooter>);
        platform::ui::NibRegistry::registerClass("LineItemsView", {}, [] { return LineItemsView::make(); });
        platform::ui::NibRegistry::registerNib("LineItemsAmountView", buildLineItemsAmountView);
        platform::ui::NibRegistry::registerNib("LineItemTableViewCell", buildLineItemTableViewCell);
        platform::ui::NibRegistry::registerNib("LineItemsTableViewFooter", buildLineItemsTableViewFooter);
        platform::ui::NibRegistry::registerNib("LineItemsView", buildLineItemsView);
    });
}

}
