#include "ZorvikAPI/models/Freelancer.h"

#include "ZorvikAPI/authentication/Authentication.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "platform/foundation/Dictionary.h"

namespace zorvik::api {

using platform::foundation::AttachmentKey;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

namespace {

const AttachmentKey<Authentication> kAuthenticationKey { "ZorvikAPI.authentication" };

/// The signed-in freelancer's record. Never destroyed, so that it outlives every request in flight
/// at exit.
DictionaryRef& signedIn()
{
    static auto* record = new DictionaryRef;
    return *record;
}

}

Freelancer Freelancer::withEmail(std::string_view email, std::shared_ptr<Repository> repository,
    std::shared_ptr<Authentication> authentication)
{
    Freelancer freelancer(Dictionary::make({ { "email", email } }));
    freelancer.setRepository(std::move(repository));
    freelancer.setAuthentication(std::move(authentication));
    return freelancer;
}

Freelancer Freelancer::withIdentifier(const Value& identifier, std::string_view email,
    std::shared_ptr<Repository> repository, std::shared_ptr<Authentication> authentication)
{
    Freelancer freelancer = withEmail(email, std::move(repository), std::move(authentication));
    freelancer.setIdentifier(identifier);
    return freelancer;
}

std::optional<Freelancer> Freelancer::loggedInFreelancer()
{
    if (auto record = signedIn())
        return Freelancer(record);
    return std::nullopt;
}

void Freelancer::setLoggedInFreelancer(const std::optional<Freelancer>& freelancer)
{
    signedIn() = freelancer ? freelancer->record() : nullptr;
}

void Freelancer::logOut()
{
    if (auto current = loggedInFreelancer()) {
        if (auto authentication = current->authentication())
            authentication->logOut();
    }
    if (auto mechanism = Repositories::sharedInstance().authenticationMechanism())
        mechanism->logOut();
    setLoggedInFreelancer(std::nullopt);
}

std::optional<std::string> Freelancer::email() const
{
    return text("email");
}

std::optional<Business> Freelancer::business() const
{
    if (auto record = m_record->get("business").dictionary())
        return Business(record);
    return std::nullopt;
}

std::shared_ptr<Repository> Freelancer::businessRepository() const
{
    return childRepository("business");
}

std::shared_ptr<Authentication> Freelancer::authentication() const
{
    return m_record->attachment(kAuthenticationKey);
}

void Freelancer::setAuthentication(std::shared_ptr<Authentication> authentication) const
{
    m_record->setAttachment(kAuthenticationKey, std::move(authentication));
}

void Freelancer::loginWithPassword(
    std::string_view password, RecordBlock ok, Block failed, ErrorBlock error) const
{
    auto authentication = this->authentication();
    if (!authentication) {
        reportLocalError(error, "The freelancer has no log-in mechanism");
        return;
    }
    auto credentials = Dictionary::make({ { "email", m_record->get("email") }, { "password", password } });
    authentication->authenticate(
        credentials,
        [record = m_record, ok = std::move(ok)](const DictionaryRef& answer) {
            record->set("id", answer->get("userId"));
            setLoggedInFreelancer(Freelancer(record));
            if (ok)
                ok(answer);
        },
        std::move(failed), error,
        [](const DictionaryRef& answer) { return !answer->get("userId").isNull(); });
}

void Freelancer::createBusiness(const Business& business, RecordOutcome<Business> created,
    Block businessAlreadyExists, ErrorBlock error) const
{
    createChild(
        business.record(), "business",
        [created = std::move(created)](const DictionaryRef& record) {
            if (created)
                created(Business(record));
        },
        std::move(businessAlreadyExists), std::move(error));
}

void Freelancer::business(RecordOutcome<Business> found, Block notFound, ErrorBlock error) const
{
    readChildOfType(
        "business", nullptr, Value::Type::Dictionary,
        [found = std::move(found)](const Value& answer) {
            if (found)
                found(Business(answer.dictionary()));
        },
        std::move(notFound), std::move(error));
}

}
