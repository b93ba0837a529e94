#pragma once

namespace zorvik {

/// Registers the nibs of the PIN pad and its prompt widgets ("PinView", "PinView4", "PinKeyboardView",
/// "NumericPinButton", "PinDotView", "FailedPinAttemptView", "FailedPinAttemptView4", "LogoAndPromptView",
/// "LogoAndPromptView4") and the view classes nibs place. Calling it again registers nothing twice.
void registerPinNibs();

}
