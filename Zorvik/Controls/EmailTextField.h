#pragma once

#include "platform/ui/NibRegistry.h"
#include "platform/ui/TextField.h"

#include <string>

namespace zorvik {

/// The field into which the user types an e-mail address: it asks for the e-mail keyboard without
/// autocorrection and tells whether it holds one valid address. Only nibs make it.
class EmailTextField : public platform::ui::TextField {
public:
    /// A field placed by a nib, with the frame the nib gives.
    explicit EmailTextField(const platform::ui::NibCoder& coder);

    std::string className() const override { return "EmailTextField"; }

    /// The typed address without the white space around it.
    std::string emailAddress() const;
    /// Whether the text, without the white space around it, is exactly one e-mail address: one or more of
    /// letters, digits and "._%+-", an "@", one or more of letters, digits, "." and "-", a point and 2 to 30
    /// letters, in either case.
    bool containsValidEmailAddress() const;

private:
    void baseInit();
};

}
