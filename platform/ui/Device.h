#pragma once

#include "platform/foundation/Uuid.h"

#include <atomic>
#include <mutex>
#include <optional>

namespace platform::ui {

/// How the device is held; the numbers are the platform's.
enum class DeviceOrientation {
    Unknown = 0,
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeLeft = 3,
    LandscapeRight = 4,
    FaceUp = 5,
    FaceDown = 6,
};

/// The phone the app runs on, as far as the app can see it: how it is held and the identifier it gives the
/// apps of one vendor. A phone starts upright (portrait). The identifier for vendor is made on first use
/// and kept in the standard defaults, so it lasts as long as the app's data, as the phone's does.
/// Thread-safe.
class Device {
public:
    /// Posted on the default notification centre, with the device as object, when the orientation changed.
    static constexpr const char* orientationDidChangeNotification = "DeviceOrientationDidChangeNotification";

    /// The device.
    static Device& current();

    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    DeviceOrientation orientation() const { return m_orientation.load(); }
    /// Turns the device; posts orientationDidChangeNotification, on the calling thread, when that changed it.
    void setOrientation(DeviceOrientation orientation);

    /// The identifier the phone gives this app's vendor, or nullopt while the phone offers none (or it cannot
    /// be kept).
    std::optional<foundation::Uuid> identifierForVendor() const;
    /// Makes the phone offer `identifier` (nullopt: none): for tests.
    void setIdentifierForVendor(std::optional<foundation::Uuid> identifier);

    /// Holds the device upright again without telling anyone: for tests.
    void reset() { m_orientation = DeviceOrientation::Portrait; }

private:
    Device() = default;

    std::atomic<DeviceOrientation> m_orientation { DeviceOrientation::Portrait };
    mutable std::mutex m_mutex;
    // Read or made on first use unless a test set it.
    mutable bool m_identifierForVendorSet { false };
    mutable std::optional<foundation::Uuid> m_identifierForVendor;
};

}
