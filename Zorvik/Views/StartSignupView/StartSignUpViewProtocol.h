#pragma once

namespace zorvik {

/// The start screen's actions, as its view reports them.
class StartSignUpControllerProtocol {
public:
    virtual ~StartSignUpControllerProtocol() = default;

    /// "Sign up" was pressed.
    virtual void userWantsToSignUp() = 0;
    /// "Log in" was pressed.
    virtual void userWantsToLogin() = 0;
    /// The terms link was pressed.
    virtual void userWantsToSeeTerms() = 0;
};

}
