#pragma once

#include <string>

namespace zorvik {

/// What the sign-up screen asks of the view that shows the business being confirmed.
class CompanySummaryViewProtocol {
public:
    virtual ~CompanySummaryViewProtocol() = default;

    /// Busy: every touch is ignored, the confirm button gives way to a turning spinner.
    virtual void showLoadingView() = 0;
    /// Idle again: touches reach the view, the button is back, the spinner stops.
    virtual void hideLoadingView() = 0;
    /// A one-button dialog over the whole view with `message` and `buttonText`; its dismissal goes back
    /// to the screen with `event`.
    virtual void showInfoMessage(const std::string& message, const std::string& buttonText, int event) = 0;
};

}
