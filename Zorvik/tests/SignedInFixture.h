#pragma once

#include "Zorvik/tests/FrameFixture.h"
#include "ZorvikAPI/models/BankAccount.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "ZorvikAPI/models/VATRegistration.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/Backend.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zorvik {
class NoHistoryNavigationController;
}

namespace zorvik::test {

/// A phone signed in as a freshly signed-up user, for tests that drive the signed-in screens.
///
/// Before each test: a fresh local back-end holding the account kEmail (PIN kPin) with the business
/// "Copperfinch Ltd" (registration number, address, "United Kingdom"), an empty VAT registration and an
/// empty bank account, all made through the API library as sign-up makes them; the library wired to the
/// back-end as the app wires it at launch and logged in, so the signed-in freelancer holds the business and
/// the business its two records, each with its repository; a device of its own (a fresh home folder) with
/// kEmail saved as the signed-in user (SignedInUser: the "user" file and an active DeviceUser); the app's
/// nibs registered; and the FramePhone of the screen-frame tests (a 320 x 568 key window, a screen driver).
/// After each test everything is put back: signed out, repositories emptied, stores closed.
///
/// Waiting for the back-end: an HTTP answer arrives on another thread, so a test that tapped "save" calls
/// waitUntil() with what it waits for; wait() on the driver only moves the virtual clock.
class SignedInFixture : public FrameTest {
protected:
    static constexpr const char* kEmail = "ann@copperfinch.example";
    static constexpr const char* kPin = "2468";

    void SetUp() override;
    void TearDown() override;

    /// The back-end the app talks to.
    ::testing::Backend& backend() { return m_backend; }
    /// The signed-in freelancer.
    api::Freelancer freelancer() const;
    /// The signed-in freelancer's business, the live record every screen reads.
    api::Business business() const;
    /// The business's live bank account record.
    api::BankAccount bankAccount() const;
    /// The business's live VAT registration record.
    api::VATRegistration vatRegistration() const;

    /// Makes `screens` the stack of a new NoHistoryNavigationController (bar hidden, as the app has it)
    /// that is the window's root, the last on top, and lays the window out.
    std::shared_ptr<NoHistoryNavigationController> showScreens(
        std::vector<std::shared_ptr<platform::ui::ViewController>> screens);

    /// Runs the main queue, waiting in real time for answers from other threads, until `done` answers true
    /// or `timeout` passes; then runs whatever else is due and lays the window out. Returns done().
    bool waitUntil(
        const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(30));

    /// Gives up on any HTTP request that has no answer after `seconds` (real time).
    void setRequestTimeout(double seconds);

private:
    void signUp();

    ::testing::TemporaryDirectory m_home;
    ::testing::Backend m_backend;
};

}
