#pragma once

#include "platform/ui/NibRegistry.h"
#include "platform/ui/TextField.h"

#include <functional>
#include <string>

namespace zorvik {

/// The base of the fields that are their own delegate and check or reshape what is typed or pasted: from
/// shouldChangeCharacters() a subclass either lets the platform apply the edit or refuses it and writes the
/// text itself. Either way a key press or paste counts as taken, and the field sends editing-changed, when
/// the text changed.
class FormattedTextField : public platform::ui::TextField, public platform::ui::TextFieldDelegate {
public:
    /// A field placed by a nib, with the frame the nib gives, the number pad and itself as delegate.
    explicit FormattedTextField(const platform::ui::NibCoder& coder);

    /// Types or pastes `text`; true when the text changed.
    bool insertText(const std::string& text) override;
    /// Presses delete; true when the text changed.
    bool deleteBackward() override;

private:
    bool changes(const std::function<bool()>& edit);
};

}
