#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Value.h"
#include "testing/backend/BackendReply.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing {

/// The in-memory data of the loopback back-end and the logic of each of its
/// routes, as plain functions from request data to a BackendReply. The HTTP
/// wiring (Backend) only parses requests and writes replies.
///
/// Records go in and out as deep copies, so nothing a caller holds is shared
/// with the store. Every member is thread-safe (one lock around the store):
/// routes run on the server's threads while a test reads the state.
class BackendState {
public:
    /// Where a freelancer route points: the caller's "Authorization" header and
    /// the identifiers in the URL (/api/freelancers/{freelancer}/business/
    /// {business}/{relation}/{resource}); absent identifiers are nullopt.
    struct Path {
        std::string authorization;
        std::int64_t freelancerId { 0 };
        std::optional<std::int64_t> businessId;
        std::optional<std::int64_t> resourceId;
    };

    /// A business's singular child records.
    enum class Child { VATRegistration, BankAccount };

    /// Query parameters as they arrived, in order (names and values decoded).
    using Query = std::vector<std::pair<std::string, std::string>>;
    /// The source of "now" for every date the back-end writes.
    using Clock = std::function<platform::foundation::Date()>;

    /// The largest photo the storage accepts (bytes).
    static constexpr std::size_t kMaximumPhotoSize { 10 * 1024 * 1024 };

    /// An empty store on the system clock, with the company fixture and the
    /// default configuration (Backend makes its redirect absolute).
    BackendState();

    /// {"versions": {"accepted": ["1000"]}, "redirectUrl": "/upgrade", "credentials": {}}.
    static platform::foundation::Value defaultConfiguration();

    /// Replaces the clock (e.g. the main queue's virtual clock in app tests).
    void setClock(Clock clock);
    /// The current date on the back-end's clock.
    platform::foundation::Date now() const;

    /// POST /api/freelancers with {"email", "password"}: 200 {"id", "email"};
    /// 422 when the e-mail (compared without case) is taken or a field is
    /// missing or empty.
    BackendReply createFreelancer(const platform::foundation::Value& body);
    /// A ready account, as a finished sign-up leaves it: the freelancer `email` with `password`, the
    /// business `business` (an object of business keys), an empty VAT registration and an empty bank
    /// account. Returns the freelancer's id, or nullopt (nothing stored) when the e-mail is taken or a
    /// value is empty or not an object.
    std::optional<std::int64_t> addAccount(
        std::string_view email, std::string_view password, const platform::foundation::Value& business);
    /// POST /api/freelancers/login with {"email", "password"}: 200 with a new
    /// token {"id": token, "ttl", "created", "userId"}; 401 otherwise.
    BackendReply logIn(const platform::foundation::Value& body);
    /// GET /api/freelancers/{id}: {"id", "email"}.
    BackendReply freelancer(const Path& path);

    /// POST .../business: the stored business with its new "id"; 422 when the
    /// freelancer already has one.
    BackendReply createBusiness(const Path& path, const platform::foundation::Value& body);
    /// GET .../business or .../business/{id}: 404 when there is none.
    BackendReply business(const Path& path);
    /// PUT .../business or .../business/{id}: merges the body's keys into the
    /// business and answers the whole business; 404 when there is none.
    BackendReply updateBusiness(const Path& path, const platform::foundation::Value& body);

    /// POST .../business/{id}/vat-registration or bank-account: the stored
    /// record with its "id"; 422 when the business already has one.
    BackendReply createChild(Child child, const Path& path, const platform::foundation::Value& body);
    /// GET of the child (optionally with its id): 404 when there is none.
    BackendReply child(Child child, const Path& path);
    /// PUT of the child (optionally with its id): merges and answers the whole record.
    BackendReply updateChild(Child child, const Path& path, const platform::foundation::Value& body);

    /// POST .../business/{id}/invoices: stores the invoice with a new "id",
    /// "sent" (now), "folders" [{"name": "todo", "date": sent}] and
    /// "is_deleted" false, and answers it; 422 when a live invoice of the
    /// business has the same non-empty "reference".
    BackendReply createInvoice(const Path& path, const platform::foundation::Value& body);
    /// GET .../invoices: the business's invoices, newest first, narrowed by
    /// every "filter[where][key]=value" parameter (1/0 match true/false).
    BackendReply invoices(const Path& path, const Query& query);
    /// GET .../invoices/{id}: a live invoice; 404 for a missing or deleted one.
    BackendReply invoice(const Path& path);
    /// PUT .../invoices/{id}: merges the body's keys (except "id" and
    /// "is_deleted") and answers the whole invoice. Folder entries without a
    /// "date" get now. 422 when "folders" is not an array of objects with a
    /// "name"; 404 for a missing or deleted invoice.
    BackendReply updateInvoice(const Path& path, const platform::foundation::Value& body);
    /// DELETE .../invoices/{id}: marks the invoice deleted and answers
    /// {"count": 1}; 404 for a missing or already deleted invoice.
    BackendReply deleteInvoice(const Path& path);

    /// GET /companies?search_term=: the matching companies (an empty list for
    /// a missing or empty term).
    BackendReply searchCompanies(std::string_view term) const;
    /// Replaces the companies the search looks through.
    void setCompanies(const platform::foundation::Value& companies);

    /// Stores a photo under `key`, or under a new random key when nullopt:
    /// {"key": key}. 400 for an empty body, 413 above kMaximumPhotoSize.
    BackendReply storePhoto(std::optional<std::string> key, std::string bytes, std::string contentType);
    /// The photo's bytes with the content type it was stored with; 404 if unknown.
    BackendReply photo(std::string_view key) const;

    /// The configuration document (a deep copy).
    BackendReply configuration() const;
    /// Replaces the configuration document.
    void setConfiguration(const platform::foundation::Value& document);

    /// Sets an invoice's "sent" to `date`, written in the server's pattern.
    /// Returns false when there is no such invoice.
    bool setInvoiceSent(std::int64_t invoiceId, platform::foundation::Date date);

    /// Every freelancer as {"id", "email", "password"}, oldest first.
    platform::foundation::ArrayRef freelancers() const;
    /// Every business as stored, oldest first, each with its owner's id under
    /// "freelancerId" and its child records under "vat-registration" and
    /// "bank-account" when they exist.
    platform::foundation::ArrayRef businesses() const;
    /// Every invoice, deleted ones included, newest first, each with its
    /// business's id under "businessId".
    platform::foundation::ArrayRef invoices() const;

private:
    struct Freelancer {
        std::int64_t id { 0 };
        std::string email;
        std::string password;
        std::optional<std::int64_t> businessId;
    };
    struct Business {
        std::int64_t freelancerId { 0 };
        platform::foundation::DictionaryRef record;
        platform::foundation::DictionaryRef vatRegistration;
        platform::foundation::DictionaryRef bankAccount;
    };
    struct Invoice {
        std::int64_t businessId { 0 };
        platform::foundation::DictionaryRef record;
    };

    // Takes the lock and runs `route` on the caller's business when the token
    // and the identifiers all fit, else answers the refusal (401 or 404).
    BackendReply withBusiness(const Path& path, const std::function<BackendReply(Business&)>& route);
    // As withBusiness, for the live (not deleted) invoice the path names: 404
    // for a missing or deleted one.
    BackendReply withInvoice(const Path& path, const std::function<BackendReply(Invoice&)>& route);
    std::optional<BackendReply> checkAuthorization(const Path& path) const;
    platform::foundation::DictionaryRef& childRecord(Business& business, Child child);
    // The business's child record when it exists and has the id the path
    // names (if any), else null.
    platform::foundation::Dictionary* existingChild(Business& business, Child child, const Path& path);
    std::int64_t nextId() { return m_nextId++; }
    std::string randomHex(std::size_t length);
    std::string nowText() const;
    std::string dateText(platform::foundation::Date date) const;

    mutable std::mutex m_mutex;
    Clock m_clock;
    // Dates in the server's pattern, in UTC so that they end in "+0000".
    platform::foundation::DateFormatter m_dateFormatter;
    std::int64_t m_nextId { 1 };
    std::mt19937_64 m_random;
    std::map<std::int64_t, Freelancer> m_freelancers;
    std::map<std::string, std::int64_t, std::less<>> m_tokens;
    std::map<std::int64_t, Business> m_businesses;
    std::map<std::int64_t, Invoice> m_invoices;
    struct Photo {
        std::string bytes;
        std::string contentType;
    };
    std::map<std::string, Photo, std::less<>> m_photos;
    platform::foundation::ArrayRef m_companies;
    platform::foundation::Value m_configuration;
};

}
