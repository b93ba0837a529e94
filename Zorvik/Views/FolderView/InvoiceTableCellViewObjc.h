#pragma once

#include "Zorvik/Views/SwipeableContentView/SwipeableContentViewDelegate.h"
#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/foundation/Value.h"

#include <memory>
#include <string>

namespace platform::ui {
class ImageView;
class Label;
}

namespace zorvik {

class CurrencyLabel;
class FriendlyDateLabel;
class FriendlyDayLabel;
class InvoiceTableCellDelegate;

/// The content of one invoice row of a folder list: title word, status image, friendly date or day count,
/// amount, description and recipient, laid out by the nib "InvoiceTableCellView". A finished swipe asks
/// the delegate to move the row's invoice to `folder()`. The two folders' rows fill it in setInvoice().
class InvoiceTableCellViewObjc : public XibViewObjcmb, public SwipeableContentViewDelegate {
public:
    /// A row whose swipe moves its invoice to `folder` ("done" or "todo") through `delegate`.
    InvoiceTableCellViewObjc(std::weak_ptr<InvoiceTableCellDelegate> delegate, std::string folder);

    std::string className() const override { return "InvoiceTableCellViewObjc"; }
    std::string nib() const override { return "InvoiceTableCellView"; }

    /// The invoice shown, or null.
    const platform::foundation::DictionaryRef& invoice() const { return m_invoice; }
    /// Keeps the invoice; the folders' rows also fill the row with it.
    virtual void setInvoice(const platform::foundation::DictionaryRef& invoice) { m_invoice = invoice; }
    /// The folder the row's invoice moves to.
    const std::string& folder() const { return m_folder; }

    /// Asks the delegate to move the invoice to folder().
    void swipeDidFinish(SwipeableContentView& container) override;

    std::shared_ptr<platform::ui::Label> titleLabel() const { return m_titleLabel.lock(); }
    std::shared_ptr<platform::ui::ImageView> statusIcon() const { return m_statusIcon.lock(); }
    std::shared_ptr<FriendlyDateLabel> dateLabel() const { return m_dateLabel.lock(); }
    std::shared_ptr<FriendlyDayLabel> dayLabel() const { return m_dayLabel.lock(); }
    std::shared_ptr<CurrencyLabel> amountLabel() const { return m_amountLabel.lock(); }
    std::shared_ptr<platform::ui::Label> descriptionLabel() const { return m_descriptionLabel.lock(); }
    std::shared_ptr<platform::ui::Label> companyNameLabel() const { return m_companyNameLabel.lock(); }

protected:
    /// The description, recipient ("to " and its business's name) and gross amount of the invoice.
    void showDescriptionRecipientAndAmount();

private:
    std::weak_ptr<InvoiceTableCellDelegate> m_delegate;
    std::string m_folder;
    platform::foundation::DictionaryRef m_invoice;
    std::weak_ptr<platform::ui::Label> m_titleLabel;
    std::weak_ptr<platform::ui::ImageView> m_statusIcon;
    std::weak_ptr<FriendlyDateLabel> m_dateLabel;
    std::weak_ptr<FriendlyDayLabel> m_dayLabel;
    std::weak_ptr<CurrencyLabel> m_amountLabel;
    std::weak_ptr<platform::ui::Label> m_descriptionLabel;
    std::weak_ptr<platform::ui::Label> m_companyNameLabel;
};

}
