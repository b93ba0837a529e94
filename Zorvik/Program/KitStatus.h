#pragma once

#include <string>

namespace zorvik {

/// The kit platform's state as the `kit` command prints it, one "kit: " line each:
///
///   kit: started with Ember                          (or "kit: not started")
///   kit: installation <id>, made at this launch      (or "kept from an earlier launch")
///   kit: launch <execution id>, instance <instance id>
///   kit: settings downloaded, app <status>           (or "kit: settings not downloaded")
std::string kitStatus();

}
