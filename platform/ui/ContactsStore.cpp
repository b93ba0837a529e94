#include "platform/ui/ContactsStore.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"

#include <mutex>

namespace platform::ui {

namespace {

struct Device {
    std::mutex mutex;
    ContactsAuthorizationStatus status { ContactsAuthorizationStatus::NotDetermined };
    bool userGrants { true };
    std::size_t questions { 0 };
    std::vector<Contact> contacts;
};

Device& device()
{
    static Device shared;
    return shared;
}

std::optional<std::string> text(const foundation::DictionaryRef& record, const char* key)
{
    auto value = record->get(key);
    if (value.isNull())
        return std::string();
    if (auto string = value.string())
        return *string;
    return std::nullopt;
}

}

ContactsAuthorizationStatus ContactsStore::authorizationStatus()
{
    auto& shared = device();
    std::lock_guard lock(shared.mutex);
    return shared.status;
}

void ContactsStore::requestAccess(AccessCompletion completion) const
{
    foundation::DispatchQueue::global().async([completion = std::move(completion)] {
        auto& shared = device();
        ContactsAuthorizationStatus status;
        {
            std::lock_guard lock(shared.mutex);
            if (shared.status == ContactsAuthorizationStatus::NotDetermined) {
                ++shared.questions;
                shared.status = shared.userGrants ? ContactsAuthorizationStatus::Authorized
                                                  : ContactsAuthorizationStatus::Denied;
            }
            status = shared.status;
        }
        if (!completion)
            return;
        switch (status) {
        case ContactsAuthorizationStatus::Authorized:
            completion(true, std::nullopt);
            break;
        case ContactsAuthorizationStatus::Restricted:
            completion(false, std::string("Access to contacts is restricted on this device."));
            break;
        case ContactsAuthorizationStatus::Denied:
        case ContactsAuthorizationStatus::NotDetermined:
            completion(false, std::string("Access to contacts was denied."));
            break;
        }
    });
}

std::optional<std::vector<Contact>> ContactsStore::contacts() const
{
    auto& shared = device();
    std::lock_guard lock(shared.mutex);
    if (shared.status != ContactsAuthorizationStatus::Authorized)
        return std::nullopt;
    return shared.contacts;
}

void ContactsStore::setAuthorizationStatus(ContactsAuthorizationStatus status)
{
    auto& shared = device();
    std::lock_guard lock(shared.mutex);
    shared.status = status;
}

void ContactsStore::setUserAnswer(bool grants)
{
    auto& shared = device();
    std::lock_guard lock(shared.mutex);
    shared.userGrants = grants;
}

std::size_t ContactsStore::questionCount()
{
    auto& shared = device();
    std::lock_guard lock(shared.mutex);
    return shared.questions;
}

void ContactsStore::setDeviceContacts(std::vector<Contact> contacts)
{
    auto& shared = device();
    std::lock_guard lock(shared.mutex);
    shared.contacts = std::move(contacts);
}

bool ContactsStore::loadDeviceContacts(const std::filesystem::path& jsonFile)
{
    auto content = foundation::Files::readText(jsonFile);
    if (!content)
        return false;
    auto parsed = foundation::parseJson(*content);
    auto records = parsed.ok() ? parsed.value.array() : nullptr;
    if (!records)
        return false;
    std::vector<Contact> contacts;
    for (auto& value : *records) {
        auto record = value.dictionary();
        if (!record)
            return false;
        auto givenName = text(record, "givenName");
        auto familyName = text(record, "familyName");
        if (!givenName || !familyName)
            return false;
        Contact contact { *givenName, *familyName, {} };
        auto addresses = record->get("emailAddresses");
        if (!addresses.isNull()) {
            auto list = addresses.array();
            if (!list)
                return false;
            for (auto& address : *list) {
                auto string = address.string();
                if (!string)
                    return false;
                contact.emailAddresses.push_back(*string);
            }
        }
        contacts.push_back(std::move(contact));
    }
    setDeviceContacts(std::move(contacts));
    return true;
}

void ContactsStore::resetDevice()
{
    auto& shared = device();
    std::lock_guard lock(shared.mutex);
    shared.status = ContactsAuthorizationStatus::NotDetermined;
    shared.userGrants = true;
    shared.questions = 0;
    shared.contacts.clear();
}

}
