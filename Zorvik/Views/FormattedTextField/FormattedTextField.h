#pragma once

#include "platform/ui/NibRegistry.h"
#include "platform/ui/TextField.h"

namespace zorvik {

/// The base of the fields that are their own delegate and check or reshape what is typed or pasted: from
/// shouldChangeCharacters() a subclass either lets the platform apply the edit or refuses it and writes the
/// text itself. Either way a key press or paste counts as taken, and the field sends editing-changed, when
/// the text changed.
class FormattedTextField : public platform::ui::TextField, public platform::ui::TextFieldDelegate {
public:
    /// A field placed by a nib, with the frame the nib gives, the number pad and itself as delegate.
    explicit FormattedTextField(const platform::ui::NibCoder& coder);

protected:
    /// Sends editing-changed for the edit the field made itself, as the platform does for its own.
    void didChangeTextItself() override;
};

}
