#pragma once

#include "ZorvikAPI/models/Resource.h"

#include <optional>
#include <string>
#include <string_view>

namespace zorvik::api {

class BankAccount;
class Invoice;
class VATRegistration;

/// A freelancer's business: its name and address for invoices ("name", "registration_number",
/// "address_line_1", "address_line_2", "town", "county", "post_code", "country"), "logo", "shared_link",
/// and its nested "invoices" (newest first), "vat-registration" and "bank-account". Its actions keep the
/// local invoice list, and the observers of its "invoices" key, in step with the server.
class Business : public Resource {
public:
    using Resource::Resource;

    /// A new business holding only "name".
    static Business withName(std::string_view name);
    /// A new business with the eight keys of its name and address (callers pass "" for an unknown value).
    static Business withName(std::string_view name, std::string_view registrationNumber,
        std::string_view addressLine1, std::string_view addressLine2, std::string_view town,
        std::string_view county, std::string_view postCode, std::string_view country);

    /// "name", or nullopt.
    std::optional<std::string> name() const;
    /// "registration_number", or nullopt.
    std::optional<std::string> registrationNumber() const;
    /// "address_line_1", or nullopt.
    std::optional<std::string> addressLine1() const;
    /// "address_line_2", or nullopt.
    std::optional<std::string> addressLine2() const;
    /// "town", or nullopt.
    std::optional<std::string> town() const;
    /// "county", or nullopt.
    std::optional<std::string> county() const;
    /// "post_code", or nullopt.
    std::optional<std::string> postCode() const;
    /// "country", or nullopt.
    std::optional<std::string> country() const;
    /// "shared_link", the link to the business's shared documents folder, or nullopt.
    std::optional<std::string> documentsFolder() const;
    /// "logo", the logo's URL, or nullopt.
    std::optional<std::string> logo() const;

    /// "invoices", newest first, or null before they are read.
    platform::foundation::ArrayRef invoices() const;
    /// "vat-registration", or nullopt.
    std::optional<VATRegistration> vatRegistration() const;
    /// "bank-account", or nullopt.
    std::optional<BankAccount> bankAccount() const;

    /// Saves `logoUrl` as the business's "logo" (an update with that change only).
    void setLogo(std::string_view logoUrl, Block ok, Block notFound, ErrorBlock error) const;

    /// Creates the business's VAT registration and stores the created record under "vat-registration".
    void createVATRegistration(const VATRegistration& registration, RecordOutcome<VATRegistration> ok,
        Block alreadyExists, ErrorBlock error) const;
    /// Creates the business's bank account and stores the created record under "bank-account".
    void createBankAccount(const BankAccount& account, RecordOutcome<BankAccount> ok, Block alreadyExists,
        ErrorBlock error) const;

    /// Reads the VAT registration and stores it under "vat-registration".
    void vatRegistration(RecordOutcome<VATRegistration> found, Block notFound, ErrorBlock error) const;
    /// Reads the bank account and stores it under "bank-account".
    void bankAccount(RecordOutcome<BankAccount> found, Block notFound, ErrorBlock error) const;
    /// Reads the invoices that are not deleted and stores the list under "invoices" (replacing it whole).
    void invoices(ArrayBlock found, Block notFound, ErrorBlock error) const;

    /// Sends `invoice`: its "from" becomes a new contact with the sender's e-mail and a copy of the sender's
    /// business without its "invoices"; the created invoice goes to the start of "invoices" (a new list
    /// when there is none), the observers of "invoices" hear of an insertion at index 0, then ok runs.
    /// An invoice without "from" is an error and nothing is sent.
    void sendInvoice(
        const Invoice& invoice, RecordOutcome<Invoice> ok, Block alreadyExists, ErrorBlock error) const;

    /// Deletes `invoice` on the server; then every invoice of equal content leaves "invoices", the
    /// observers of "invoices" hear of a removal at the indexes they held, and ok runs.
    void deleteInvoice(const Invoice& invoice, Block ok, Block notFound, ErrorBlock error) const;

    /// Moves `invoice` to `folder` ("todo" or "done"): sends its "id", "sent" and a copy of its "folders"
    /// with {"name": folder} appended, then refills the invoice with the answer (an empty answer applies the
    /// folders sent). The list keeps its order and no change is announced. An invoice without "id" is an
    /// error and nothing is sent.
    void moveInvoice(
        const Invoice& invoice, std::string_view folder, Block ok, Block notFound, ErrorBlock error) const;
};

}
