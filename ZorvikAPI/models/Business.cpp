#include "ZorvikAPI/models/Business.h"

#include "ZorvikAPI/models/BankAccount.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/VATRegistration.h"
#include "ZorvikAPI/repositories/Repository.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <vector>

namespace zorvik::api {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Change;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

namespace {

constexpr std::string_view kInvoices = "invoices";

/// Makes `target` hold exactly the entries of `source`.
void replaceContents(const DictionaryRef& target, const Dictionary& source)
{
    std::vector<std::string> stale;
    for (auto& entry : target->entries()) {
        if (!source.contains(entry.first))
            stale.push_back(entry.first);
    }
    for (auto& key : stale)
        target->remove(key);
    target->addEntries(source);
}

}

Business Business::withName(std::string_view name)
{
    return Business(Dictionary::make({ { "name", name } }));
}

Business Business::withName(std::string_view name, std::string_view registrationNumber,
    std::string_view addressLine1, std::string_view addressLine2, std::string_view town,
    std::string_view county, std::string_view postCode, std::string_view country)
{
    return Business(Dictionary::make({
        { "name", name },
        { "registration_number", registrationNumber },
        { "address_line_1", addressLine1 },
        { "address_line_2", addressLine2 },
        { "town", town },
        { "county", county },
        { "post_code", postCode },
        { "country", country },
    }));
}

std::optional<std::string> Business::name() const
{
    return text("name");
}
std::optional<std::string> Business::registrationNumber() const
{
    return text("registration_number");
}
std::optional<std::string> Business::addressLine1() const
{
    return text("address_line_1");
}
std::optional<std::string> Business::addressLine2() const
{
    return text("address_line_2");
}
std::optional<std::string> Business::town() const
{
    return text("town");
}
std::optional<std::string> Business::county() const
{
    return text("county");
}
std::optional<std::string> Business::postCode() const
{
    return text("post_code");
}
std::optional<std::string> Business::country() const
{
    return text("country");
}
std::optional<std::string> Business::documentsFolder() const
{
    return text("shared_link");
}
std::optional<std::string> Business::logo() const
{
    return text("logo");
}

ArrayRef Business::invoices() const
{
    return m_record->get(kInvoices).array();
}

std::optional<VATRegistration> Business::vatRegistration() const
{
    if (auto record = m_record->get("vat-registration").dictionary())
        return VATRegistration(record);
    return std::nullopt;
}

std::optional<BankAccount> Business::bankAccount() const
{
    if (auto record = m_record->get("bank-account").dictionary())
        return BankAccount(record);
    return std::nullopt;
}

void Business::setLogo(std::string_view logoUrl, Block ok, Block notFound, ErrorBlock error) const
{
    updateWithChanges(
        Dictionary::make({ { "logo", logoUrl } }), std::move(ok), std::move(notFound), std::move(error));
}

void Business::createVATRegistration(const VATRegistration& registration, RecordOutcome<VATRegistration> ok,
    Block alreadyExists, ErrorBlock error) const
{
    createChild(
        registration.record(), "vat-registration",
        [ok = std::move(ok)](const DictionaryRef& created) {
            if (ok)
                ok(VATRegistration(created));
        },
        std::move(alreadyExists), std::move(error));
}

void Business::createBankAccount(
    const BankAccount& account, RecordOutcome<BankAccount> ok, Block alreadyExists, ErrorBlock error) const
{
    createChild(
        account.record(), "bank-account",
        [ok = std::move(ok)](const DictionaryRef& created) {
            if (ok)
                ok(BankAccount(created));
        },
        std::move(alreadyExists), std::move(error));
}

void Business::vatRegistration(RecordOutcome<VATRegistration> found, Block notFound, ErrorBlock error) const
{
    readChildOfType(
        "vat-registration", nullptr, Value::Type::Dictionary,
        [found = std::move(found)](const Value& answer) {
            if (found)
                found(VATRegistration(answer.dictionary()));
        },
        std::move(notFound), std::move(error));
}

void Business::bankAccount(RecordOutcome<BankAccount> found, Block notFound, ErrorBlock error) const
{
    readChildOfType(
        "bank-account", nullptr, Value::Type::Dictionary,
        [found = std::move(found)](const Value& answer) {
            if (found)
                found(BankAccount(answer.dictionary()));
        },
        std::move(notFound), std::move(error));
}

void Business::invoices(ArrayBlock found, Block notFound, ErrorBlock error) const
{
    readChildOfType(
        std::string(kInvoices), Dictionary::make({ { "filter[where][is_deleted]", 0 } }), Value::Type::Array,
        [found = std::move(found)](const Value& answer) {
            if (found)
                found(answer.array());
        },
        std::move(notFound), std::move(error));
}

void Business::sendInvoice(
    const Invoice& invoice, RecordOutcome<Invoice> ok, Block alreadyExists, ErrorBlock error) const
{
    if (!invoice.from()) {
        reportLocalError(error, "The invoice has no sender");
        return;
    }
    invoice.detachSenderInvoices();
    addChild(
        invoice.record(), std::string(kInvoices), false,
        [business = m_record, ok = std::move(ok)](const DictionaryRef& sent) {
            business->announce(kInvoices, Change { Change::Kind::Insertion, { 0 } });
            if (ok)
                ok(Invoice(sent));
        },
        std::move(alreadyExists), std::move(error));
}

void Business::deleteInvoice(const Invoice& invoice, Block ok, Block notFound, ErrorBlock error) const
{
    auto repository = childRepository(kInvoices);
    if (!repository) {
        reportLocalError(error, "The business has no repository");
        return;
    }
    repository->remove(
        invoice.record(),
        [business = m_record, deleted = invoice.record(), ok = std::move(ok)] {
            std::vector<std::size_t> removed;
            if (auto list = business->get(kInvoices).array()) {
                for (std::size_t index = 0; index < list->size(); ++index) {
                    auto element = list->at(index).dictionary();
                    if (element && element->equals(*deleted))
                        removed.push_back(index);
                }
                for (auto index = removed.rbegin(); index != removed.rend(); ++index)
                    list->removeAt(*index);
            }
            if (!removed.empty())
                business->announce(kInvoices, Change { Change::Kind::Removal, removed });
            if (ok)
                ok();
        },
        std::move(notFound), std::move(error));
}

void Business::moveInvoice(
    const Invoice& invoice, std::string_view folder, Block ok, Block notFound, ErrorBlock error) const
{
    auto repository = childRepository(kInvoices);
    if (!repository || invoice.identifier().isNull()) {
        reportLocalError(
            error, repository ? "The invoice has no identifier" : "The business has no repository");
        return;
    }
    auto history = invoice.folders();
    ArrayRef folders = history ? history->shallowCopy() : Array::make();
    folders->append(Dictionary::make({ { "name", folder } }));
    auto changes = Dictionary::make({
        { "id", invoice.identifier() },
        { "sent", invoice.record()->get("sent") },
        { "folders", folders },
    });
    repository->update(
        changes,
        [moved = invoice.record(), folders, ok = std::move(ok)](const Value& answer) {
            if (auto refreshed = answer.dictionary())
                replaceContents(moved, *refreshed);
            else
                moved->set("folders", folders);
            if (ok)
                ok();
        },
        std::move(notFound), std::move(error));
}

}
