#pragma once

#include "Zorvik/DeviceStorage/FileStore.h"
#include "platform/foundation/Date.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::ui {
class NavigationController;
}

namespace zorvik {

/// Decides, each time the app becomes active after a visit to the background (and at the first activation),
/// which screen the user meets:
///
/// - nobody has signed up or logged in on this device (no "user" file, or a blank one): the start screen of
///   sign-up, when the stack is empty; a stack that holds screens already (a sign-up under way) is kept;
/// - the user was away more than the idle limit (counted in whole minutes), or the device clock went back
///   while the app was away, or the device settings could not be read (so the time away is unknown), or no
///   screen shows yet: presented screens are dismissed, the stack is emptied and the PIN log-in screen of
///   the user in the "user" file is pushed;
/// - otherwise the current screen stays.
///
/// The application delegate calls start() on every activation and clears isStarted whenever the app goes
/// to the background, so that only the first activation after a return runs the choice. Main thread only.
class AppController {
public:
    /// The name of the file in Documents that holds the e-mail address of the user who last signed up or
    /// logged in on this device.
    static constexpr const char* kUserFileName { "user" };
    /// Whole minutes away that keep the current screen; one more brings back the PIN log-in screen.
    static constexpr long kIdleLimitMinutes { 10 };

    /// A controller for the app's navigation stack, finding the "user" file through `fileStore`; not
    /// started.
    AppController(
        FileStore fileStore, std::shared_ptr<platform::ui::NavigationController> navigationController);

    /// Chooses the screen as the class comment tells, unless the controller has started since the last
    /// visit to the background.
    void start();

    /// Whether the choice has run since the app last went to the background.
    bool isStarted() const { return m_isStarted; }
    /// Sets whether the choice has run (the delegate clears it when the app goes to the background).
    void setIsStarted(bool started) { m_isStarted = started; }

private:
    /// Whether an absence from `wentToBackground` (nullopt: never) until `now` is over the idle limit: more
    /// than kIdleLimitMinutes whole minutes, or negative (the clock was set back, so the real time away is
    /// unknown).
    static bool isOverIdleLimit(
        std::optional<platform::foundation::Date> wentToBackground, platform::foundation::Date now);
    void showPinLogin(const std::string& username);

    FileStore m_fileStore;
    std::shared_ptr<platform::ui::NavigationController> m_navigationController;
    bool m_isStarted { false };
};

}
