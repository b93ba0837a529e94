#pragma once

#include <string>

namespace zorvik {

/// The kit platform's state as the `kit` command prints it, one "kit: " line each:
///
///   kit: started with Ember                          (or "kit: not started")
///   kit: installation <id>, made at this launch      (or "kept from an earlier launch")
///   kit: launch <execution id>, instance <instance id>
///   kit: settings downloaded, app <status>           (or "kept from an earlier launch" while this
///                                                     launch's download has not succeeded, or
///                                                     "kit: settings not downloaded" without any)
///
/// then the crash kit's line:
///
///   ember: on, report <launch id>, waiting <active>/<processing>/<prepared>      (or "ember: off")
///
/// where the report is this launch's, and the waiting counts are the report directories in active (this
/// launch's among them), the reports being packaged and the packages waiting for upload.
std::string kitStatus();

}
