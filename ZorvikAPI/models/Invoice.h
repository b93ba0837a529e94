#pragma once

#include "ZorvikAPI/models/Contact.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/Reference.h"
#include "ZorvikAPI/models/Resource.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik::api {

/// An invoice: "description", "reference" with its "reference_components", "net_amount" and "gross_amount"
/// (whole pence), "payment_term" (days), the parties "from" and "to", "line-items", the folder history
/// "folders", the server's "sent" date and "signature". With line items its amounts are their totals.
class Invoice : public Resource {
public:
    using Resource::Resource;

    /// The signature of an invoice that has none.
    static constexpr std::string_view kDefaultSignature = "Thank you";

    /// A new invoice with an empty description and reference, amounts 0 and payment term 0.
    static Invoice invoice();
    /// A new invoice; each absent argument leaves its key out.
    static Invoice invoiceWithDescription(const std::optional<std::string>& description,
        const std::optional<std::string>& reference, std::optional<std::int64_t> netAmount,
        std::optional<std::int64_t> grossAmount, std::optional<std::int64_t> paymentTerm,
        const std::optional<Contact>& from, const std::optional<Contact>& to);
    /// A new invoice whose reference is `referenceComponents`; each absent argument leaves its key out.
    static Invoice invoiceWithDescription(const std::optional<std::string>& description,
        const Reference& referenceComponents, std::optional<std::int64_t> netAmount,
        std::optional<std::int64_t> grossAmount, std::optional<std::int64_t> paymentTerm,
        const std::optional<Contact>& from, const std::optional<Contact>& to);

    /// "description", or nullopt.
    std::optional<std::string> descriptionOfWork() const;
    /// Stores "description".
    void setDescriptionOfWork(std::string_view description) const;

    /// The prefix followed by the counter when the invoice has reference components, else "reference"
    /// ("" when absent).
    std::string reference() const;
    /// Stores "reference", then components with an empty prefix and `reference` as the counter.
    void setReference(std::string_view reference) const;
    /// Stores "reference_components" = {prefix, counter} and "reference" = prefix followed by counter.
    void setReferencePrefix(std::string_view prefix, std::string_view counter) const;
    /// "reference_components", or, when absent, an empty prefix with reference() as the counter.
    Reference referenceComponents() const;

    /// With line items, their net total; else "net_amount" in whole pence (0 when absent).
    std::int64_t netAmount() const;
    /// Stores "net_amount" and tells the observers of "netAmount".
    void setNetAmount(std::int64_t netAmount) const;
    /// With line items, their gross total; else "gross_amount" in whole pence (0 when absent).
    std::int64_t grossAmount() const;
    /// Stores "gross_amount" and tells the observers of "grossAmount".
    void setGrossAmount(std::int64_t grossAmount) const;

    /// "payment_term" in days (0 when absent).
    std::int64_t paymentTerm() const;
    /// Stores "payment_term".
    void setPaymentTerm(std::int64_t paymentTerm) const;

    /// The sender, "from", or nullopt.
    std::optional<Contact> from() const;
    /// Stores "from" (nullopt removes it).
    void setFrom(const std::optional<Contact>& from) const;
    /// Gives "from" a new contact with the sender's e-mail and a copy of the sender's business without its
    /// "invoices", so the record going out (or shown) neither carries nor shares the sender's list.
    void detachSenderInvoices() const;
    /// The recipient, "to", or nullopt.
    std::optional<Contact> to() const;
    /// Stores "to" (nullopt removes it).
    void setTo(const std::optional<Contact>& to) const;

    /// "sent" read as a server date, or nullopt when absent or unreadable.
    std::optional<platform::foundation::Date> sent() const;
    /// The server's "sent" date of the invoice record `record`, read in place, or nullopt.
    static std::optional<platform::foundation::Date> sentDate(const platform::foundation::Dictionary& record);
    /// The date a stored "sent" value gives (null when the record has none).
    static std::optional<platform::foundation::Date> sentDate(const platform::foundation::Value* sent);

    /// "line-items", or null.
    platform::foundation::ArrayRef lineItems() const;
    /// Stores "line-items" (null removes it); a non-empty list first sets both stored amounts to 0.
    void setLineItems(const platform::foundation::ArrayRef& lineItems) const;

    /// The folder history "folders", or null.
    platform::foundation::ArrayRef folders() const;

    /// "signature", or "Thank you" when absent.
    std::string signature() const;
    /// Stores "signature".
    void setSignature(std::string_view signature) const;

private:
    bool hasLineItems() const;
};

}
