#pragma once

#include "ZorvikAPI/models/Business.h"

#include <string_view>

namespace zorvik {

/// The signed-in freelancer's live business record, for the screens that edit it. Without a signed-in
/// freelancer holding a business the program stops with a message that starts with `screen`: sign-up and
/// log-in make both before any such screen can open.
api::Business signedInBusiness(std::string_view screen);

}
