#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

/// Whether the app may read the device's contacts; the numbers are the platform's.
enum class ContactsAuthorizationStatus { NotDetermined = 0, Restricted = 1, Denied = 2, Authorized = 3 };

/// One person of the device's address book.
struct Contact {
    std::string givenName;
    std::string familyName;
    /// The person's e-mail addresses in the address book's order.
    std::vector<std::string> emailAddresses;

    bool operator==(const Contact&) const = default;
};

/// The device's address book, as the app reaches it. The contacts and the permission are device state shared
/// by every store (set by tests and scripts with the static setters); a store object is cheap.
///
/// requestAccess asks the user only while the status is not determined (the stand-in user answers as
/// setUserAnswer says, yes unless told otherwise) and remembers the answer. As on the phone, the completion
/// runs on a background thread, never on the main queue: the app hands the answer to the main queue itself.
/// Thread-safe.
class ContactsStore {
public:
    /// Told whether access is granted, with a reason when it is not.
    using AccessCompletion = std::function<void(bool granted, const std::optional<std::string>& error)>;

    ContactsStore() = default;

    /// The app's permission now.
    static ContactsAuthorizationStatus authorizationStatus();
    /// Asks for access (see the class comment); `completion` runs on a background thread.
    void requestAccess(AccessCompletion completion) const;
    /// Every contact, in the address book's order; nothing when access is not authorized.
    std::optional<std::vector<Contact>> contacts() const;

    /// Sets the app's permission (device state).
    static void setAuthorizationStatus(ContactsAuthorizationStatus status);
    /// Sets what the stand-in user answers when asked.
    static void setUserAnswer(bool grants);
    /// How many times the user has been asked.
    static std::size_t questionCount();
    /// Replaces the address book.
    static void setDeviceContacts(std::vector<Contact> contacts);
    /// Replaces the address book with the contacts of a JSON file: an array of objects with "givenName",
    /// "familyName" (texts, may be absent) and "emailAddresses" (an array of texts, may be absent). Returns
    /// false, changing nothing, when the file cannot be read or is not of that shape.
    static bool loadDeviceContacts(const std::filesystem::path& jsonFile);
    /// An empty address book, status not determined, a user who grants access: for tests.
    static void resetDevice();
};

}
