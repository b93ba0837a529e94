#include "ZorvikAPI/models/Invoice.h"

#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/LineItems.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

namespace zorvik::api {

using platform::foundation::ArrayRef;
using platform::foundation::Date;
using platform::foundation::Dictionary;
using platform::foundation::Value;

namespace {

Value optionalText(const std::optional<std::string>& text)
{
    return text ? Value(*text) : Value();
}

Value optionalRecord(const std::optional<Contact>& contact)
{
    return contact ? Value(contact->record()) : Value();
}

/// Stores the keys that follow the reference, in the order the builders give.
void storeAmountsAndParties(const Invoice& invoice, std::optional<std::int64_t> netAmount,
    std::optional<std::int64_t> grossAmount, std::optional<std::int64_t> paymentTerm,
    const std::optional<Contact>& from, const std::optional<Contact>& to)
{
    if (netAmount)
        invoice.setNetAmount(*netAmount);
    if (grossAmount)
        invoice.setGrossAmount(*grossAmount);
    if (paymentTerm)
        invoice.setPaymentTerm(*paymentTerm);
    invoice.setFrom(from);
    invoice.setTo(to);
}

}

Invoice Invoice::invoice()
{
    return invoiceWithDescription(std::string(), std::string(), 0, 0, 0, std::nullopt, std::nullopt);
}

Invoice Invoice::invoiceWithDescription(const std::optional<std::string>& description,
    const std::optional<std::string>& reference, std::optional<std::int64_t> netAmount,
    std::optional<std::int64_t> grossAmount, std::optional<std::int64_t> paymentTerm,
    const std::optional<Contact>& from, const std::optional<Contact>& to)
{
    Invoice invoice(Dictionary::make());
    invoice.m_record->set("description", optionalText(description));
    if (reference)
        invoice.setReference(*reference);
    storeAmountsAndParties(invoice, netAmount, grossAmount, paymentTerm, from, to);
    return invoice;
}

Invoice Invoice::invoiceWithDescription(const std::optional<std::string>& description,
    const Reference& referenceComponents, std::optional<std::int64_t> netAmount,
    std::optional<std::int64_t> grossAmount, std::optional<std::int64_t> paymentTerm,
    const std::optional<Contact>& from, const std::optional<Contact>& to)
{
    Invoice invoice(Dictionary::make());
    invoice.m_record->set("description", optionalText(description));
    invoice.setReference("");
    invoice.setReferencePrefix(referenceComponents.prefix(), referenceComponents.counter());
    storeAmountsAndParties(invoice, netAmount, grossAmount, paymentTerm, from, to);
    return invoice;
}

std::optional<std::string> Invoice::descriptionOfWork() const
{
    return text("description");
}

void Invoice::setDescriptionOfWork(std::string_view description) const
{
    m_record->set("description", description);
}

std::string Invoice::reference() const
{
    if (auto components = m_record->get("reference_components").dictionary())
        return Reference(components).stringValue();
    return m_record->get("reference").stringValue();
}

void Invoice::setReference(std::string_view reference) const
{
    m_record->set("reference", reference);
    setReferencePrefix("", reference);
}

void Invoice::setReferencePrefix(std::string_view prefix, std::string_view counter) const
{
    Reference components = Reference::referenceWithPrefix(prefix, counter);
    m_record->set("reference_components", components.record());
    m_record->set("reference", components.stringValue());
}

Reference Invoice::referenceComponents() const
{
    if (auto components = m_record->get("reference_components").dictionary())
        return Reference(components);
    return Reference::referenceWithPrefix("", reference());
}

std::int64_t Invoice::netAmount() const
{
    if (hasLineItems())
        return LineItems(lineItems()).totalNetAmount();
    return m_record->get("net_amount").integerValue();
}

void Invoice::setNetAmount(std::int64_t netAmount) const
{
    setAnnouncing("net_amount", netAmount, "netAmount");
}

std::int64_t Invoice::grossAmount() const
{
    if (hasLineItems())
        return LineItems(lineItems()).totalGrossAmount();
    return m_record->get("gross_amount").integerValue();
}

void Invoice::setGrossAmount(std::int64_t grossAmount) const
{
    setAnnouncing("gross_amount", grossAmount, "grossAmount");
}

std::int64_t Invoice::paymentTerm() const
{
    return m_record->get("payment_term").integerValue();
}

void Invoice::setPaymentTerm(std::int64_t paymentTerm) const
{
    m_record->set("payment_term", paymentTerm);
}

std::optional<Contact> Invoice::from() const
{
    if (auto record = m_record->get("from").dictionary())
        return Contact(record);
    return std::nullopt;
}

void Invoice::setFrom(const std::optional<Contact>& from) const
{
    m_record->set("from", optionalRecord(from));
}

void Invoice::detachSenderInvoices() const
{
    auto sender = from();
    if (!sender)
        return;
    std::optional<Business> business;
    if (auto own = sender->business()) {
        business = Business(own->record()->shallowCopy());
        business->record()->remove("invoices");
    }
    setFrom(Contact::withEmail(sender->contact(), business));
}

std::optional<Contact> Invoice::to() const
{
    if (auto record = m_record->get("to").dictionary())
        return Contact(record);
    return std::nullopt;
}

void Invoice::setTo(const std::optional<Contact>& to) const
{
    m_record->set("to", optionalRecord(to));
}

std::optional<Date> Invoice::sent() const
{
    return sentDate(*m_record);
}

std::optional<Date> Invoice::sentDate(const Dictionary& record)
{
    // Read in place: folder lists read "sent" for every invoice they show.
    return sentDate(record.find("sent"));
}

std::optional<Date> Invoice::sentDate(const Value* sent)
{
    auto* text = sent ? sent->string() : nullptr;
    return text ? fromServerDateString(*text) : std::nullopt;
}

ArrayRef Invoice::lineItems() const
{
    return m_record->get("line-items").array();
}

void Invoice::setLineItems(const ArrayRef& lineItems) const
{
    if (lineItems && !lineItems->empty()) {
        m_record->set("net_amount", 0);
        m_record->set("gross_amount", 0);
    }
    m_record->set("line-items", lineItems ? Value(lineItems) : Value());
}

ArrayRef Invoice::folders() const
{
    auto* folders = m_record->find("folders");
    return folders ? folders->array() : nullptr;
}

std::string Invoice::signature() const
{
    return text("signature").value_or(std::string(kDefaultSignature));
}

void Invoice::setSignature(std::string_view signature) const
{
    m_record->set("signature", signature);
}

bool Invoice::hasLineItems() const
{
    auto items = lineItems();
    return items && !items->empty();
}

}
