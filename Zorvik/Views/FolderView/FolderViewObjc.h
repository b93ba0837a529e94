#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/foundation/Value.h"
#include "platform/ui/TableView.h"

#include <memory>

namespace zorvik::api {
class InvoiceFilter;
}

namespace zorvik {

class EmptyFolderViewObjc;
class FoldersControllerProtocol;
class InvoiceTableCellViewProvider;
class InvoiceTableDatasourceObjc;

/// One folder of the home screen: the invoices its filter lets through, as a table of swipeable rows, or
/// its empty view (faded in over 0.5 s) when there are none. Laid out by the nib "FolderView".
///
/// A new list animates from the one on display: more invoices insert rows at the top; fewer delete the rows
/// of the invoices that left (the table leaves once the last row has gone). Whenever the rows that stay would
/// no longer show the invoices at their places (another order, the same count with other contents, rows to
/// delete that do not account for the fall in count), the table reloads instead of showing stale rows.
class FolderViewObjc : public XibViewObjcmb, public platform::ui::TableViewDelegate {
public:
    /// Seconds the empty view takes to fade in.
    static constexpr double kEmptyViewFadeDuration = 0.5;

    FolderViewObjc();

    /// A folder list showing `emptyView` until its first invoices, with rows from `viewProvider` for the
    /// invoices that `filter` lets through.
    static std::shared_ptr<FolderViewObjc> make(std::shared_ptr<EmptyFolderViewObjc> emptyView,
        std::shared_ptr<InvoiceTableCellViewProvider> viewProvider,
        std::shared_ptr<api::InvoiceFilter> filter);

    std::string className() const override { return "FolderViewObjc"; }
    std::string nib() const override { return "FolderView"; }

    /// Filters all of the business's invoices and shows those that pass.
    void setInvoices(const platform::foundation::ArrayRef& invoices);
    /// The invoices on display, in row order.
    const platform::foundation::ArrayRef& invoices() const;

    /// Who opens a tapped invoice, or null.
    std::shared_ptr<FoldersControllerProtocol> delegate() const { return m_delegate.lock(); }
    /// Sets who opens a tapped invoice, held weakly.
    void setDelegate(const std::weak_ptr<FoldersControllerProtocol>& delegate) { m_delegate = delegate; }

    const std::shared_ptr<platform::ui::TableView>& invoicesTable() const { return m_invoicesTable; }
    const std::shared_ptr<EmptyFolderViewObjc>& emptyView() const { return m_emptyView; }
    const std::shared_ptr<InvoiceTableDatasourceObjc>& datasource() const { return m_datasource; }

    /// Opens the tapped row's invoice.
    void didSelectRow(platform::ui::TableView& tableView, const platform::ui::IndexPath& indexPath) override;
    /// Reloads the table when the folder is shown.
    void didMoveToSuperview() override;
    /// The empty view fills the folder.
    void layoutSubviews() override;

private:
    void showTable();
    void showEmptyView();
    void animateInvoicesFromTop(const platform::foundation::ArrayRef& fresh);
    void deleteRowsOfInvoicesThatLeft(const platform::foundation::ArrayRef& fresh, std::size_t fall);

    std::weak_ptr<FoldersControllerProtocol> m_delegate;
    std::shared_ptr<InvoiceTableDatasourceObjc> m_datasource;
    std::shared_ptr<EmptyFolderViewObjc> m_emptyView;
    std::shared_ptr<api::InvoiceFilter> m_filter;
    std::shared_ptr<platform::ui::TableView> m_invoicesTable;
};

}
