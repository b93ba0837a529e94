#include "ZorvikAPI/repositories/Repository.h"

namespace zorvik::api {

const platform::foundation::AttachmentKey<Repository> kRepositoryAssociationKey { "ZorvikAPI.repository" };

}
