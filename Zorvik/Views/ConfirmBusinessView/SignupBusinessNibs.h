#pragma once

namespace zorvik {

/// Registers the nibs "CompanySummaryView" and "ConfirmBusinessView", the contents of the two sign-up
/// confirmation views. Safe to call more than once.
void registerSignupBusinessNibs();

}
