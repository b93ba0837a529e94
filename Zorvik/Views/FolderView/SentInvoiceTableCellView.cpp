#include "Zorvik/Views/FolderView/SentInvoiceTableCellView.h"

#include "Zorvik/Models/InvoiceState.h"
#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/FriendlyDateLabel/FriendlyDateLabel.h"
#include "Zorvik/Views/FriendlyDayLabel/FriendlyDayLabel.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Clock.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

void SentInvoiceTableCellView::setInvoice(const platform::foundation::DictionaryRef& invoice)
{
    InvoiceTableCellViewObjc::setInvoice(invoice);
    titleLabel()->setText(std::string("outstanding"));
    showDescriptionRecipientAndAmount();
    prepareTableCellForState(InvoiceState::statusForInvoice(api::Invoice(invoice)));
}

void SentInvoiceTableCellView::prepareTableCellForState(int state)
{
    auto sent = api::Invoice(invoice()).sent();
    if (state == InvoiceState::Late || state == InvoiceState::Due) {
        bool late = state == InvoiceState::Late;
        auto colour = late ? ColoursObjc::lateRed() : ColoursObjc::dueYellow();
        statusIcon()->setImage(
            platform::ui::Image::named(late ? "InvoiceTableCellImageLate" : "InvoiceTableCellImageDue"));
        titleLabel()->setTextColor(colour);
        dayLabel()->setTextColor(colour);
        dateLabel()->setHidden(true);
        dayLabel()->setHidden(false);
        dayLabel()->setText(
            InvoiceState::countDaysWithInvoiceSentDate(sent.value_or(platform::foundation::now())));
        return;
    }
    statusIcon()->setImage(platform::ui::Image::named("InvoiceTableCellImageSent"));
    titleLabel()->setTextColor(ColoursObjc::teal());
    dateLabel()->setTextColor(ColoursObjc::teal());
    dateLabel()->setHidden(false);
    dayLabel()->setHidden(true);
    dateLabel()->setPrefix("sent ");
    dateLabel()->setDate(sent.value_or(platform::foundation::now()));
}

}
