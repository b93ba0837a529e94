#pragma once

#include "Zorvik/Views/FolderView/InvoiceTableCellViewProvider.h"

#include <memory>

namespace zorvik {

class InvoiceTableCellDelegate;

/// The To-Do folder's rows: SentInvoiceTableCellView on a white background, swiped right to "done".
class SentInvoiceTableCellViewProviderObjc : public InvoiceTableCellViewProvider {
public:
    /// Rows that ask `delegate` (held weakly) to move their invoices.
    explicit SentInvoiceTableCellViewProviderObjc(std::weak_ptr<InvoiceTableCellDelegate> delegate)
        : m_delegate(std::move(delegate))
    {
    }

    std::shared_ptr<InvoiceTableCellViewObjc> documentView() const override;
    std::shared_ptr<SwipeableBackground> swipeableBackgroundView() const override;
    std::int64_t swipeDirection() const override;

private:
    std::weak_ptr<InvoiceTableCellDelegate> m_delegate;
};

/// The Done folder's rows: PaidInvoiceTableCellView on a white background, swiped left to "todo".
class PaidInvoiceTableCellViewProviderObjc : public InvoiceTableCellViewProvider {
public:
    /// Rows that ask `delegate` (held weakly) to move their invoices.
    explicit PaidInvoiceTableCellViewProviderObjc(std::weak_ptr<InvoiceTableCellDelegate> delegate)
        : m_delegate(std::move(delegate))
    {
    }

    std::shared_ptr<InvoiceTableCellViewObjc> documentView() const override;
    std::shared_ptr<SwipeableBackground> swipeableBackgroundView() const override;
    std::int64_t swipeDirection() const override;

private:
    std::weak_ptr<InvoiceTableCellDelegate> m_delegate;
};

}
