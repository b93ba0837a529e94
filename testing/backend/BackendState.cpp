#include "testing/backend/BackendState.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "testing/backend/CompanyRegister.h"
#include "testing/backend/Text.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace testing {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Date;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

namespace {

constexpr std::int64_t kTokenLifetimeSeconds { 1209600 };
constexpr std::string_view kWherePrefix { "filter[where][" };

Date systemNow()
{
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return Date { std::chrono::duration<double>(since).count() };
}

BackendReply unauthorized()
{
    return BackendReply::error(401, "Unauthorized", "Authorization Required");
}

BackendReply notFound(std::string_view what)
{
    return BackendReply::error(404, "NotFoundError", std::string("Unknown ") + std::string(what));
}

// What the client reads as "already exists": 422 is kept for that alone.
BackendReply alreadyExists(std::string_view message)
{
    return BackendReply::error(422, "ValidationError", message);
}

BackendReply badRequest(std::string_view message)
{
    return BackendReply::error(400, "BadRequestError", message);
}

BackendReply notAnObject()
{
    return badRequest("A JSON object is required");
}

// The string under `key`, or nullopt when it is absent, empty or not a string.
std::optional<std::string> nonEmptyString(const Dictionary& record, std::string_view key)
{
    auto value = record.get(key);
    auto text = value.string();
    return text && !text->empty() ? std::optional(*text) : std::nullopt;
}

// A deep copy of `body` without `dropped` keys, or null when the body is not a JSON object.
DictionaryRef recordFrom(const Value& body, const std::vector<std::string_view>& dropped)
{
    auto source = body.dictionary();
    if (!source)
        return nullptr;
    auto record = source->deepCopy();
    for (auto key : dropped)
        record->remove(key);
    return record;
}

void merge(Dictionary& target, const Dictionary& changes, const std::vector<std::string_view>& kept)
{
    for (const auto& [key, value] : changes.entries()) {
        if (std::find(kept.begin(), kept.end(), key) == kept.end())
            target.set(key, value.deepCopy());
    }
}

// Keys that name relations of a business, never stored as its own fields.
const std::vector<std::string_view> kBusinessRelations { "id", "invoices", "vat-registration",
    "bank-account" };

// Does a stored value match a query value? Booleans match 1/0 and true/false.
bool matches(const Value& stored, std::string_view wanted)
{
    if (auto flag = stored.boolean())
        return *flag ? (wanted == "1" || wanted == "true") : (wanted == "0" || wanted == "false");
    if (stored.isNull())
        return wanted == "null";
    if (stored.string() || stored.integer() || stored.number())
        return stored.stringValue() == wanted;
    return false;
}

bool validFolders(const Value& folders)
{
    auto entries = folders.array();
    if (!entries)
        return false;
    return std::all_of(entries->begin(), entries->end(), [](const Value& entry) {
        auto record = entry.dictionary();
        return record && record->get("name").string();
    });
}

}

Value BackendState::defaultConfiguration()
{
    return Dictionary::make({ { "versions", Dictionary::make({ { "accepted", Array::make({ "1000" }) } }) },
        { "redirectUrl", "/upgrade" }, { "credentials", Dictionary::make() } });
}

BackendState::BackendState()
    : m_clock(systemNow)
    , m_dateFormatter("yyyy-MM-dd'T'HH:mm:ss.SSSZ", "en_US_POSIX", "UTC")
    , m_random(std::random_device {}())
    , m_companies(CompanyRegister::fixture())
    , m_configuration(defaultConfiguration())
{
}

void BackendState::setClock(Clock clock)
{
    std::lock_guard lock(m_mutex);
    m_clock = clock ? std::move(clock) : Clock(systemNow);
}

Date BackendState::now() const
{
    std::lock_guard lock(m_mutex);
    return m_clock();
}

std::string BackendState::nowText() const
{
    return dateText(m_clock());
}

std::string BackendState::dateText(Date date) const
{
    return m_dateFormatter.format(date);
}

std::string BackendState::randomHex(std::size_t length)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    while (text.size() < length) {
        auto bits = m_random();
        for (int i = 0; i < 16 && text.size() < length; ++i, bits >>= 4)
            text.push_back(kDigits[bits & 0xF]);
    }
    return text;
}

BackendReply BackendState::createFreelancer(const Value& body)
{
    auto record = body.dictionary();
    if (!record)
        return notAnObject();
    auto email = nonEmptyString(*record, "email");
    auto password = nonEmptyString(*record, "password");
    if (!email || !password)
        return badRequest("An e-mail address and a password are required");
    std::lock_guard lock(m_mutex);
    auto wanted = lowercase(*email);
    for (const auto& [id, freelancer] : m_freelancers) {
        if (lowercase(freelancer.email) == wanted)
            return alreadyExists("Email already exists");
    }
    Freelancer freelancer { nextId(), *email, *password, std::nullopt };
    m_freelancers.emplace(freelancer.id, freelancer);
    return BackendReply::ok(Dictionary::make({ { "id", freelancer.id }, { "email", freelancer.email } }));
}

std::optional<std::int64_t> BackendState::addAccount(
    std::string_view email, std::string_view password, const Value& business)
{
    auto record = recordFrom(business, kBusinessRelations);
    if (email.empty() || password.empty() || !record)
        return std::nullopt;
    std::lock_guard lock(m_mutex);
    auto wanted = lowercase(std::string(email));
    for (const auto& [id, freelancer] : m_freelancers) {
        if (lowercase(freelancer.email) == wanted)
            return std::nullopt;
    }
    Freelancer freelancer { nextId(), std::string(email), std::string(password), std::nullopt };
    auto businessId = nextId();
    record->set("id", businessId);
    auto vatRegistration = Dictionary::make({ { "id", nextId() } });
    auto bankAccount = Dictionary::make({ { "id", nextId() } });
    m_businesses.emplace(businessId, Business { freelancer.id, record, vatRegistration, bankAccount });
    freelancer.businessId = businessId;
    m_freelancers.emplace(freelancer.id, freelancer);
    return freelancer.id;
}

BackendReply BackendState::logIn(const Value& body)
{
    auto record = body.dictionary();
    if (!record)
        return notAnObject();
    auto email = record->get("email");
    auto password = record->get("password");
    std::lock_guard lock(m_mutex);
    if (email.string() && password.string()) {
        auto wanted = lowercase(*email.string());
        for (const auto& [id, freelancer] : m_freelancers) {
            if (lowercase(freelancer.email) != wanted || freelancer.password != *password.string())
                continue;
            auto token = randomHex(64);
            m_tokens.emplace(token, id);
            return BackendReply::ok(Dictionary::make({ { "id", token }, { "ttl", kTokenLifetimeSeconds },
                { "created", nowText() }, { "userId", id } }));
        }
    }
    return BackendReply::error(401, "LoginFailed", "login failed");
}

std::optional<BackendReply> BackendState::checkAuthorization(const Path& path) const
{
    auto token = m_tokens.find(path.authorization);
    if (path.authorization.empty() || token == m_tokens.end() || token->second != path.freelancerId)
        return unauthorized();
    return std::nullopt;
}

BackendReply BackendState::freelancer(const Path& path)
{
    std::lock_guard lock(m_mutex);
    if (auto refusal = checkAuthorization(path))
        return *refusal;
    const auto& freelancer = m_freelancers.at(path.freelancerId);
    return BackendReply::ok(Dictionary::make({ { "id", freelancer.id }, { "email", freelancer.email } }));
}

BackendReply BackendState::withBusiness(const Path& path, const std::function<BackendReply(Business&)>& route)
{
    std::lock_guard lock(m_mutex);
    if (auto refusal = checkAuthorization(path))
        return *refusal;
    const auto& freelancer = m_freelancers.at(path.freelancerId);
    if (!freelancer.businessId || (path.businessId && *path.businessId != *freelancer.businessId))
        return notFound("business");
    return route(m_businesses.at(*freelancer.businessId));
}

BackendReply BackendState::withInvoice(const Path& path, const std::function<BackendReply(Invoice&)>& route)
{
    return withBusiness(path, [&](Business& business) {
        auto it = path.resourceId ? m_invoices.find(*path.resourceId) : m_invoices.end();
        if (it == m_invoices.end() || it->second.businessId != business.record->get("id").integerValue()
            || it->second.record->get("is_deleted").boolValue())
            return notFound("invoice");
        return route(it->second);
    });
}

BackendReply BackendState::createBusiness(const Path& path, const Value& body)
{
    std::lock_guard lock(m_mutex);
    if (auto refusal = checkAuthorization(path))
        return *refusal;
    auto record = recordFrom(body, kBusinessRelations);
    if (!record)
        return notAnObject();
    auto& freelancer = m_freelancers.at(path.freelancerId);
    if (freelancer.businessId)
        return alreadyExists("The freelancer already has a business");
    auto id = nextId();
    record->set("id", id);
    m_businesses.emplace(id, Business { freelancer.id, record, nullptr, nullptr });
    freelancer.businessId = id;
    return BackendReply::ok(record->deepCopy());
}

BackendReply BackendState::business(const Path& path)
{
    return withBusiness(
        path, [](Business& business) { return BackendReply::ok(business.record->deepCopy()); });
}

BackendReply BackendState::updateBusiness(const Path& path, const Value& body)
{
    return withBusiness(path, [&](Business& business) {
        auto changes = body.dictionary();
        if (!changes)
            return notAnObject();
        merge(*business.record, *changes, kBusinessRelations);
        return BackendReply::ok(business.record->deepCopy());
    });
}

DictionaryRef& BackendState::childRecord(Business& business, Child child)
{
    return child == Child::VATRegistration ? business.vatRegistration : business.bankAccount;
}

Dictionary* BackendState::existingChild(Business& business, Child child, const Path& path)
{
    auto& stored = childRecord(business, child);
    if (!stored || (path.resourceId && stored->get("id").integer() != path.resourceId))
        return nullptr;
    return stored.get();
}

BackendReply BackendState::createChild(Child child, const Path& path, const Value& body)
{
    return withBusiness(path, [&](Business& business) {
        auto record = recordFrom(body, { "id" });
        if (!record)
            return notAnObject();
        auto& stored = childRecord(business, child);
        if (stored)
            return alreadyExists("The business already has this record");
        record->set("id", nextId());
        stored = record;
        return BackendReply::ok(record->deepCopy());
    });
}

BackendReply BackendState::child(Child child, const Path& path)
{
    return withBusiness(path, [&](Business& business) {
        auto stored = existingChild(business, child, path);
        return stored ? BackendReply::ok(stored->deepCopy()) : notFound("record");
    });
}

BackendReply BackendState::updateChild(Child child, const Path& path, const Value& body)
{
    return withBusiness(path, [&](Business& business) {
        auto changes = body.dictionary();
        if (!changes)
            return notAnObject();
        auto stored = existingChild(business, child, path);
        if (!stored)
            return notFound("record");
        merge(*stored, *changes, { "id" });
        return BackendReply::ok(stored->deepCopy());
    });
}

BackendReply BackendState::createInvoice(const Path& path, const Value& body)
{
    return withBusiness(path, [&](Business& business) {
        auto record = recordFrom(body, { "id", "sent", "folders", "is_deleted" });
        if (!record)
            return notAnObject();
        auto businessId = business.record->get("id").integerValue();
        if (auto reference = nonEmptyString(*record, "reference")) {
            for (const auto& [id, invoice] : m_invoices) {
                if (invoice.businessId == businessId && !invoice.record->get("is_deleted").boolValue()
                    && invoice.record->get("reference") == Value(*reference))
                    return alreadyExists("An invoice with this reference already exists");
            }
        }
        auto id = nextId();
        auto sent = nowText();
        record->set("id", id);
        record->set("sent", sent);
        record->set("folders", Array::make({ Dictionary::make({ { "name", "todo" }, { "date", sent } }) }));
        record->set("is_deleted", false);
        m_invoices.emplace(id, Invoice { businessId, record });
        return BackendReply::ok(record->deepCopy());
    });
}

BackendReply BackendState::invoices(const Path& path, const Query& query)
{
    return withBusiness(path, [&](Business& business) {
        auto businessId = business.record->get("id").integerValue();
        auto list = Array::make();
        for (auto it = m_invoices.rbegin(); it != m_invoices.rend(); ++it) {
            if (it->second.businessId != businessId)
                continue;
            const auto& record = *it->second.record;
            bool wanted = std::all_of(query.begin(), query.end(), [&](const auto& parameter) {
                const auto& [name, value] = parameter;
                if (!name.starts_with(kWherePrefix) || !name.ends_with("]"))
                    return true;
                auto key = std::string_view(name).substr(kWherePrefix.size());
                key.remove_suffix(1);
                return matches(record.get(key), value);
            });
            if (wanted)
                list->append(record.deepCopy());
        }
        return BackendReply::ok(list);
    });
}

BackendReply BackendState::invoice(const Path& path)
{
    return withInvoice(path, [](Invoice& invoice) { return BackendReply::ok(invoice.record->deepCopy()); });
}

BackendReply BackendState::updateInvoice(const Path& path, const Value& body)
{
    return withInvoice(path, [&](Invoice& invoice) {
        auto changes = recordFrom(body, { "id", "is_deleted" });
        if (!changes)
            return notAnObject();
        if (changes->contains("folders") && !validFolders(changes->get("folders")))
            return badRequest("folders must be a list of entries with a name");
        if (auto folders = changes->get("folders").array()) {
            auto date = nowText();
            for (const auto& entry : *folders) {
                if (auto folder = entry.dictionary(); !folder->contains("date"))
                    folder->set("date", date);
            }
        }
        merge(*invoice.record, *changes, {});
        return BackendReply::ok(invoice.record->deepCopy());
    });
}

BackendReply BackendState::deleteInvoice(const Path& path)
{
    return withInvoice(path, [](Invoice& invoice) {
        invoice.record->set("is_deleted", true);
        return BackendReply::ok(Dictionary::make({ { "count", 1 } }));
    });
}

BackendReply BackendState::searchCompanies(std::string_view term) const
{
    std::lock_guard lock(m_mutex);
    return BackendReply::ok(CompanyRegister::search(*m_companies, term));
}

void BackendState::setCompanies(const Value& companies)
{
    auto list = companies.array();
    std::lock_guard lock(m_mutex);
    m_companies = list ? list->deepCopy() : Array::make();
}

BackendReply BackendState::storePhoto(
    std::optional<std::string> key, std::string bytes, std::string contentType)
{
    if (bytes.empty())
        return badRequest("The photo is empty");
    if (bytes.size() > kMaximumPhotoSize)
        return BackendReply::error(413, "PayloadTooLargeError", "The photo is too large");
    std::lock_guard lock(m_mutex);
    auto name = key ? *key : randomHex(24);
    m_photos[name]
        = Photo { std::move(bytes), contentType.empty() ? "application/octet-stream" : contentType };
    return BackendReply::ok(Dictionary::make({ { "key", name } }));
}

BackendReply BackendState::photo(std::string_view key) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_photos.find(key);
    if (it == m_photos.end())
        return notFound("photo");
    return BackendReply::bytes(it->second.bytes, it->second.contentType);
}

BackendReply BackendState::configuration() const
{
    std::lock_guard lock(m_mutex);
    return BackendReply::ok(m_configuration.deepCopy());
}

void BackendState::setConfiguration(const Value& document)
{
    std::lock_guard lock(m_mutex);
    m_configuration = document.deepCopy();
}

bool BackendState::setInvoiceSent(std::int64_t invoiceId, Date date)
{
    std::lock_guard lock(m_mutex);
    auto it = m_invoices.find(invoiceId);
    if (it == m_invoices.end())
        return false;
    it->second.record->set("sent", dateText(date));
    return true;
}

ArrayRef BackendState::freelancers() const
{
    std::lock_guard lock(m_mutex);
    auto list = Array::make();
    for (const auto& [id, freelancer] : m_freelancers) {
        list->append(Dictionary::make(
            { { "id", id }, { "email", freelancer.email }, { "password", freelancer.password } }));
    }
    return list;
}

ArrayRef BackendState::businesses() const
{
    std::lock_guard lock(m_mutex);
    auto list = Array::make();
    for (const auto& [id, business] : m_businesses) {
        auto record = business.record->deepCopy();
        record->set("freelancerId", business.freelancerId);
        if (business.vatRegistration)
            record->set("vat-registration", business.vatRegistration->deepCopy());
        if (business.bankAccount)
            record->set("bank-account", business.bankAccount->deepCopy());
        list->append(record);
    }
    return list;
}

ArrayRef BackendState::invoices() const
{
    std::lock_guard lock(m_mutex);
    auto list = Array::make();
    for (auto it = m_invoices.rbegin(); it != m_invoices.rend(); ++it) {
        auto record = it->second.record->deepCopy();
        record->set("businessId", it->second.businessId);
        list->append(record);
    }
    return list;
}

}
