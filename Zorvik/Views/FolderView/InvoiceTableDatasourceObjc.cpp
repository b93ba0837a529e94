#include "Zorvik/Views/FolderView/InvoiceTableDatasourceObjc.h"

#include "Zorvik/Views/FolderView/InvoiceTableCellViewObjc.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellViewProvider.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableBackground.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableContentView.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableContentViewTableCellTableViewCell.h"
#include "platform/foundation/Array.h"

namespace zorvik {

InvoiceTableDatasourceObjc::InvoiceTableDatasourceObjc(
    std::shared_ptr<InvoiceTableCellViewProvider> viewProvider)
    : m_invoices(platform::foundation::Array::make())
    , m_viewProvider(std::move(viewProvider))
{
}

void InvoiceTableDatasourceObjc::setInvoices(platform::foundation::ArrayRef invoices)
{
    m_invoices = invoices ? std::move(invoices) : platform::foundation::Array::make();
}

int InvoiceTableDatasourceObjc::numberOfRows(platform::ui::TableView&, int)
{
    return int(m_invoices->size());
}

std::shared_ptr<platform::ui::TableViewCell> InvoiceTableDatasourceObjc::cellForRow(
    platform::ui::TableView&, const platform::ui::IndexPath& indexPath)
{
    auto cell = std::make_shared<SwipeableContentViewTableCellTableViewCell>();
    auto invoice = m_invoices->values().at(std::size_t(indexPath.row)).dictionary();
    m_viewProvider->setInvoice(invoice);
    auto row = m_viewProvider->documentView();
    row->setInvoice(invoice);
    auto container = SwipeableContentView::make(row, m_viewProvider->swipeableBackgroundView());
    cell->setSwipeableViewWithContent(container);
    container->setTag(indexPath.row);
    container->setObserver(row);
    container->setSwipeDirection(m_viewProvider->swipeDirection());
    cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
    return cell;
}

}
