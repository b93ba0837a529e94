#include "Zorvik/Views/FolderView/InvoiceTableCellViewObjc.h"

#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellDelegate.h"
#include "Zorvik/Views/FriendlyDateLabel/FriendlyDateLabel.h"
#include "Zorvik/Views/FriendlyDayLabel/FriendlyDayLabel.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

InvoiceTableCellViewObjc::InvoiceTableCellViewObjc(
    std::weak_ptr<InvoiceTableCellDelegate> delegate, std::string folder)
    : m_delegate(std::move(delegate))
    , m_folder(std::move(folder))
{
    declareOutlet("titleLabel", m_titleLabel);
    declareOutlet("statusIcon", m_statusIcon);
    declareOutlet("dateLabel", m_dateLabel);
    declareOutlet("dayLabel", m_dayLabel);
    declareOutlet("amountLabel", m_amountLabel);
    declareOutlet("descriptionLabel", m_descriptionLabel);
    declareOutlet("companyNameLabel", m_companyNameLabel);
}

void InvoiceTableCellViewObjc::swipeDidFinish(SwipeableContentView&)
{
    auto self = shared_from_this();
    if (auto delegate = m_delegate.lock(); delegate && m_invoice)
        delegate->moveInvoice(m_invoice, m_folder);
}

void InvoiceTableCellViewObjc::showDescriptionRecipientAndAmount()
{
    api::Invoice invoice(m_invoice);
    descriptionLabel()->setText(invoice.descriptionOfWork().value_or(""));
    std::string recipient;
    if (auto to = invoice.to()) {
        if (auto business = to->business())
            recipient = business->name().value_or("");
    }
    companyNameLabel()->setText("to " + recipient);
    amountLabel()->setAmount(invoice.grossAmount());
}

}
