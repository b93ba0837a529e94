#pragma once

namespace zorvik {

/// The names of the notifications that screens post on the default notification centre, with no sender,
/// for the analytics listener to turn into events. Each name equals its constant's name.
struct AnalyticsEvents {
    /// The app became active.
    static constexpr const char* analyticsOpenedApp { "analyticsOpenedApp" };
    /// The app went to the background.
    static constexpr const char* analyticsClosedApp { "analyticsClosedApp" };
    /// Sign-up ended; the user information holds "username", the new user's e-mail address.
    static constexpr const char* analyticsSignedUp { "analyticsSignedUp" };
    /// The folders screen is about to open the new-invoice screen.
    static constexpr const char* analyticsOpenedCreateInvoiceScreen { "analyticsOpenedCreateInvoiceScreen" };
    /// An invoice was sent.
    static constexpr const char* analyticsSentInvoice { "analyticsSentInvoice" };
    /// The user left a partly filled new invoice.
    static constexpr const char* analyticsCancelledCreateInvoice { "analyticsCancelledCreateInvoice" };
};

}
