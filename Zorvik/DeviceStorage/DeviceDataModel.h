#pragma once

#include <memory>

namespace platform::store {
class ManagedObjectModel;
}

namespace zorvik {

/// The app's one data model, holding both device entities; each record store opens it and keeps only its
/// own entity's records.
///
/// DeviceUser: "username" (string), "isActiveUser" (bool), "hasShownBankAccountDetailsDialog" (bool),
/// "logoURL" (string), "logoImage" (blob). DeviceSettings: "hasShownAPNSDialog" (bool),
/// "timeAppWentToBackground" (date).
class DeviceDataModel {
public:
    DeviceDataModel() = delete;

    /// The model, made once and shared.
    static std::shared_ptr<const platform::store::ManagedObjectModel> model();
};

}
