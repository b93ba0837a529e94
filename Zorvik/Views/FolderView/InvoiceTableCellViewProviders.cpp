#include "Zorvik/Views/FolderView/InvoiceTableCellViewProviders.h"

#include "Zorvik/Views/FolderView/PaidInvoiceTableCellView.h"
#include "Zorvik/Views/FolderView/SentInvoiceTableCellView.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableBackground.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableContentView.h"

namespace zorvik {

std::shared_ptr<InvoiceTableCellViewObjc> SentInvoiceTableCellViewProviderObjc::documentView() const
{
    return XibViewObjcmb::create<SentInvoiceTableCellView>(platform::ui::Rect::zero(), m_delegate, "done");
}

std::shared_ptr<SwipeableBackground> SentInvoiceTableCellViewProviderObjc::swipeableBackgroundView() const
{
    return SwipeableBackground::make(platform::ui::Color::white());
}

std::int64_t SentInvoiceTableCellViewProviderObjc::swipeDirection() const
{
    return SwipeableContentView::SwipeRight;
}

std::shared_ptr<InvoiceTableCellViewObjc> PaidInvoiceTableCellViewProviderObjc::documentView() const
{
    return XibViewObjcmb::create<PaidInvoiceTableCellView>(platform::ui::Rect::zero(), m_delegate, "todo");
}

std::shared_ptr<SwipeableBackground> PaidInvoiceTableCellViewProviderObjc::swipeableBackgroundView() const
{
    return SwipeableBackground::make(platform::ui::Color::white());
}

std::int64_t PaidInvoiceTableCellViewProviderObjc::swipeDirection() const
{
    return SwipeableContentView::SwipeLeft;
}

}
