#pragma once

namespace zorvik {

class TwoButtonDialogView;

/// Told about a two-button dialog's buttons before the dialog goes away.
class TwoButtonDialogControllerProtocol {
public:
    virtual ~TwoButtonDialogControllerProtocol() = default;

    /// The negative button was pressed.
    virtual void negativeButtonPressed(TwoButtonDialogView& dialog) = 0;
    /// The positive button was pressed.
    virtual void positiveButtonPressed(TwoButtonDialogView& dialog) = 0;
};

}
