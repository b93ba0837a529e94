#pragma once

#include "platform/foundation/Date.h"

#include <vector>

namespace platform::outside {

/// The stand-in for the Kindred SDK's app-event reporting: it sends nothing and records when the app told it
/// that it became active. Thread-safe.
class KDRSDKAppEvents {
public:
    KDRSDKAppEvents() = delete;

    /// The app became active: recorded with the time on the main queue's clock.
    static void activateApp();
    /// When activateApp() was called, oldest first.
    static std::vector<foundation::Date> activations();
    /// Forgets the activations: for tests.
    static void reset();
};

}
