#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/Value.h"

namespace attribution {

/// Who hears of the tracker's attribution results. Every method is optional: a delegate answers
/// respondsTo() for the ones it implements.
class WayfinderTrackerDelegate {
public:
    enum class Callback { ConversionDataReceived, ConversionDataRequestFailure, AppOpenAttribution };

    virtual ~WayfinderTrackerDelegate() = default;

    /// Whether the delegate implements `callback`'s method.
    virtual bool respondsTo(Callback) const { return false; }
    /// The install's conversion data arrived (from the service or the tracker's copy).
    virtual void onConversionDataReceived(const platform::foundation::DictionaryRef& /*data*/) { }
    /// The conversion data could not be had.
    virtual void onConversionDataRequestFailure(const platform::foundation::Error& /*error*/) { }
    /// The app was opened by a deep link: its parameters.
    virtual void onAppOpenAttribution(const platform::foundation::DictionaryRef& /*parameters*/) { }
};

}
