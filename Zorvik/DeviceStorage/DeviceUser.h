#pragma once

#include "platform/foundation/Value.h"

#include <memory>
#include <string>
#include <string_view>

namespace platform::store {
class ManagedObject;
}

namespace zorvik {

/// A typed view of one person's record in the user store: who signed up or logged in on this device,
/// whether they are signed in now, and their company logo. Copies view the same record; changes reach
/// the store file at UserStore::updateStore().
class DeviceUser {
public:
    /// The entity's name in the data model.
    static constexpr const char* kEntityName = "DeviceUser";

    /// A view of `object`, a record of the entity DeviceUser.
    explicit DeviceUser(std::shared_ptr<platform::store::ManagedObject> object);

    /// The e-mail address as typed at sign-up or log-in ("" when empty).
    std::string username() const;
    /// Sets the e-mail address.
    void setUsername(std::string_view username);

    /// Whether this person is the one signed in now (false when empty).
    bool isActiveUser() const;
    /// Marks this person as signed in or not.
    void setIsActiveUser(bool active);

    /// Whether the new-invoice screen has shown this person its bank-details reminder.
    bool hasShownBankAccountDetailsDialog() const;
    /// Records whether the reminder was shown.
    void setHasShownBankAccountDetailsDialog(bool shown);

    /// The public address of this person's uploaded logo ("" when there is none).
    std::string logoURL() const;
    /// Sets the logo's public address.
    void setLogoURL(std::string_view url);

    /// The logo's PNG bytes as uploaded (empty when there is none).
    platform::foundation::Bytes logoImage() const;
    /// Sets the logo's PNG bytes.
    void setLogoImage(platform::foundation::Bytes png);

    /// The underlying record.
    const std::shared_ptr<platform::store::ManagedObject>& object() const { return m_object; }

private:
    std::shared_ptr<platform::store::ManagedObject> m_object;
};

}
