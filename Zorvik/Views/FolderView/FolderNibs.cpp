#include "Zorvik/Views/FolderView/FolderNibs.h"

#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "Zorvik/Views/FolderView/EmptyFolderViewObjc.h"
#include "Zorvik/Views/FolderView/FolderViewObjc.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellViewProviders.h"
#include "Zorvik/Views/FolderView/PaidInvoiceTableCellView.h"
#include "Zorvik/Views/FolderView/SentInvoiceTableCellView.h"
#include "Zorvik/Views/FriendlyDateLabel/FriendlyDateLabel.h"
#include "Zorvik/Views/FriendlyDayLabel/FriendlyDayLabel.h"
#include "Zorvik/Views/Nibs/NibText.h"
#include "ZorvikAPI/filters/TodoFilter.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"

#include <mutex>

namespace zorvik {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;
using platform::ui::View;

namespace {

template<class T = Label> std::shared_ptr<T> label(Rect frame, const char* font, double size, Color colour)
{
    auto made = std::make_shared<T>(frame);
    made->setFont(appFont(font, size));
    made->setTextColor(colour);
    return made;
}

void buildInvoiceTableCellView(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 80 }));
    root->setBackgroundColor(Color::white());
    auto grey = Color::fromWhite(0.45);
    auto icon = std::make_shared<platform::ui::ImageView>(Rect { 12, 14, 16, 16 });
    root->addSubview(icon);
    nib.outlet("statusIcon", icon);
    auto title = label({ 34, 10, 120, 22 }, "OpenSans-SemiBold", 15, ColoursObjc::teal());
    root->addSubview(title);
    nib.outlet("titleLabel", title);
    auto date = label<FriendlyDateLabel>({ 154, 10, 154, 22 }, "OpenSans-Light", 13, ColoursObjc::teal());
    date->setTextAlignment(platform::ui::TextAlignment::Right);
    root->addSubview(date);
    nib.outlet("dateLabel", date);
    auto day = label<FriendlyDayLabel>({ 154, 10, 154, 22 }, "OpenSans-Light", 13, ColoursObjc::lateRed());
    day->setTextAlignment(platform::ui::TextAlignment::Right);
    root->addSubview(day);
    nib.outlet("dayLabel", day);
    auto description = label({ 34, 32, 180, 20 }, "OpenSans-Light", 14, Color::black());
    root->addSubview(description);
    nib.outlet("descriptionLabel", description);
    auto company = label({ 34, 52, 180, 18 }, "OpenSans-Light", 12, grey);
    root->addSubview(company);
    nib.outlet("companyNameLabel", company);
    auto amount = label<CurrencyLabel>({ 214, 36, 94, 26 }, "OpenSans-SemiBold", 17, Color::black());
    amount->setTextAlignment(platform::ui::TextAlignment::Right);
    root->addSubview(amount);
    nib.outlet("amountLabel", amount);
}

void buildFolderView(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 400 }));
    auto table = std::make_shared<platform::ui::TableView>(Rect { 0, 0, 320, 400 });
    table->setRowHeight(80);
    table->setSeparatorColor(Color::fromWhite(0.9));
    root->addSubview(table);
    nib.outlet("invoicesTable", table);
}

void buildEmptyFolderView(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 400 }));
    root->setBackgroundColor(Color::white());
    auto icon = std::make_shared<platform::ui::ImageView>(Rect { 120, 90, 80, 80 });
    root->addSubview(icon);
    nib.outlet("icon", icon);
    auto title = label({ 20, 186, 280, 26 }, "OpenSans-SemiBold", 18, ColoursObjc::teal());
    title->setTextAlignment(platform::ui::TextAlignment::Center);
    root->addSubview(title);
    nib.outlet("title", title);
    auto explanation = label({ 30, 216, 260, 44 }, "OpenSans-Light", 14, Color::fromWhite(0.45));
    explanation->setTextAlignment(platform::ui::TextAlignment::Center);
    explanation->setNumberOfLines(2);
    root->addSubview(explanation);
    nib.outlet("explanation", explanation);
}

}

void registerFolderNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerClass("SentInvoiceTableCellView", {}, [] {
            return std::static_pointer_cast<View>(XibViewObjcmb::create<SentInvoiceTableCellView>(
                Rect::zero(), std::weak_ptr<InvoiceTableCellDelegate>(), "done"));
        });
        NibRegistry::registerClass("PaidInvoiceTableCellView", {}, [] {
            return std::static_pointer_cast<View>(XibViewObjcmb::create<PaidInvoiceTableCellView>(
                Rect::zero(), std::weak_ptr<InvoiceTableCellDelegate>(), "todo"));
        });
        NibRegistry::registerClass("EmptyFolderSentViewObjc", {},
            [] { return std::static_pointer_cast<View>(EmptyFolderSentViewObjc::make()); });
        NibRegistry::registerClass("EmptyFolderDoneViewObjc", {},
            [] { return std::static_pointer_cast<View>(EmptyFolderDoneViewObjc::make()); });
        NibRegistry::registerClass("FolderViewObjc", {}, [] {
            return std::static_pointer_cast<View>(FolderViewObjc::make(EmptyFolderSentViewObjc::make(),
                std::make_shared<SentInvoiceTableCellViewProviderObjc>(
                    std::weak_ptr<InvoiceTableCellDelegate>()),
                std::make_shared<api::TodoFilter>()));
        });
        NibRegistry::registerNib("InvoiceTableCellView", buildInvoiceTableCellView);
        NibRegistry::registerNib("FolderView", buildFolderView);
        NibRegistry::registerNib("EmptyFolderView", buildEmptyFolderView);
    });
}

}
