#include "Zorvik/DeviceStorage/DeviceDataModel.h"

#include "Zorvik/DeviceStorage/DeviceSettings.h"
#include "Zorvik/DeviceStorage/DeviceUser.h"
#include "platform/store/ManagedObjectModel.h"

namespace zorvik {

using platform::store::AttributeType;
using platform::store::EntityDescription;
using platform::store::ManagedObjectModel;

std::shared_ptr<const ManagedObjectModel> DeviceDataModel::model()
{
    static const auto shared = std::make_shared<const ManagedObjectModel>(std::vector<EntityDescription> {
        EntityDescription(DeviceUser::kEntityName,
            {
                { "username", AttributeType::String },
                { "isActiveUser", AttributeType::Boolean },
                { "hasShownBankAccountDetailsDialog", AttributeType::Boolean },
                { "logoURL", AttributeType::String },
                { "logoImage", AttributeType::Blob },
            }),
        EntityDescription(DeviceSettings::kEntityName,
            {
                { "hasShownAPNSDialog", AttributeType::Boolean },
                { "timeAppWentToBackground", AttributeType::Date },
            }),
    });
    return shared;
}

}
