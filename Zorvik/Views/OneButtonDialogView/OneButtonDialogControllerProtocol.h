#pragma once

namespace zorvik {

class OneButtonDialogView;

/// Told when a one-button dialog goes away.
class OneButtonDialogControllerProtocol {
public:
    virtual ~OneButtonDialogControllerProtocol() = default;

    /// The dialog's button was pressed; the dialog is about to remove itself.
    virtual void dialogDismissed(OneButtonDialogView& dialog) = 0;
};

}
