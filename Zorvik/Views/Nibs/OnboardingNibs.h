#pragma once

namespace zorvik {

/// Registers the nibs of the onboarding screens ("EnterEmailView", "EnterEmailView4", "StartSignupView",
/// "WelcomeView", "WebView") and the view classes they place. Calling it again registers nothing twice.
void registerOnboardingNibs();

}
