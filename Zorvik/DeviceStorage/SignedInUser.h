#pragma once

#include <string>

namespace zorvik {

/// Who is signed in on this device, as log-in and sign-up leave it and log-out takes it away: the "user" file
/// in Documents (the e-mail address, nothing else) and the one active DeviceUser record. Main thread only.
class SignedInUser {
public:
    SignedInUser() = delete;

    /// The name of the file in Documents that holds the signed-in e-mail address.
    static constexpr const char* kUserFileName { "user" };

    /// Signs `email` in: writes it to the "user" file, makes that address's DeviceUser record (reused when
    /// there is one, else made) the only active one, and saves the store.
    static void save(const std::string& email);
    /// Signs whoever is signed in out: removes the "user" file, marks no DeviceUser active and saves the
    /// store. The records stay, with their logos.
    static void clear();
};

}
