#pragma once

#include <atomic>

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

/// The phone the app runs on, as far as the app can see it: how it is held. A phone starts upright
/// (portrait). Thread-safe.
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

    /// Holds the device upright again without telling anyone: for tests.
    void reset() { m_orientation = DeviceOrientation::Portrait; }

private:
    Device() = default;

    std::atomic<DeviceOrientation> m_orientation { DeviceOrientation::Portrait };
};

}
