#include "Zorvik/Views/FolderView/PaidInvoiceTableCellView.h"

#include "Zorvik/Views/FriendlyDateLabel/FriendlyDateLabel.h"
#include "Zorvik/Views/FriendlyDayLabel/FriendlyDayLabel.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

namespace {

// The date of the last entry of the invoice's folder history, or nullopt without one.
std::optional<platform::foundation::Date> lastMoveDate(const api::Invoice& invoice)
{
    auto history = invoice.folders();
    if (!history || history->empty())
        return std::nullopt;
    auto entry = history->last().dictionary();
    if (!entry)
        return std::nullopt;
    auto date = entry->get("date");
    if (auto text = date.string())
        return api::fromServerDateString(*text);
    return date.date();
}

}

void PaidInvoiceTableCellView::setInvoice(const platform::foundation::DictionaryRef& record)
{
    InvoiceTableCellViewObjc::setInvoice(record);
    api::Invoice invoice(record);
    auto moved = lastMoveDate(invoice);
    dateLabel()->setPrefix(moved ? "paid " : "sent ");
    statusIcon()->setImage(platform::ui::Image::named("InvoiceTableCellImagePaid"));
    titleLabel()->setText(std::string("paid"));
    showDescriptionRecipientAndAmount();
    dateLabel()->setHidden(false);
    dayLabel()->setHidden(true);
    dateLabel()->setDate(moved ? *moved : invoice.sent().value_or(platform::foundation::now()));
}

}
