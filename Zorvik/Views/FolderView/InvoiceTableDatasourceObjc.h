#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/TableView.h"

#include <memory>

namespace zorvik {

class InvoiceTableCellViewProvider;

/// The rows of a folder list: one swipeable row per invoice of `invoices`, made anew for every row that
/// comes into view (no reuse), from the provider's parts.
class InvoiceTableDatasourceObjc : public platform::ui::TableViewDataSource {
public:
    /// An empty list whose rows come from `viewProvider`.
    explicit InvoiceTableDatasourceObjc(std::shared_ptr<InvoiceTableCellViewProvider> viewProvider);

    /// The invoices on display, in row order (never null).
    const platform::foundation::ArrayRef& invoices() const { return m_invoices; }
    /// Replaces the invoices on display (null: none); the table is not told.
    void setInvoices(platform::foundation::ArrayRef invoices);
    const std::shared_ptr<InvoiceTableCellViewProvider>& viewProvider() const { return m_viewProvider; }

    /// The number of invoices, in any section.
    int numberOfRows(platform::ui::TableView& tableView, int section) override;
    /// A new SwipeableContentViewTableCellTableViewCell with the row's invoice; the swipe container's tag
    /// is the row number and its observer the row view.
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(
        platform::ui::TableView& tableView, const platform::ui::IndexPath& indexPath) override;

private:
    platform::foundation::ArrayRef m_invoices;
    std::shared_ptr<InvoiceTableCellViewProvider> m_viewProvider;
};

}
