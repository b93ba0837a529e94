#pragma once

#include "platform/ui/Label.h"
#include "platform/ui/NibRegistry.h"

#include <optional>
#include <string>

namespace zorvik {

/// A label that always shows its text with a single underline, in its own font and colour. Only nibs make
/// it. No text counts as empty text.
class UnderlinedLabel : public platform::ui::Label {
public:
    /// A label placed by a nib, with the frame the nib gives.
    explicit UnderlinedLabel(const platform::ui::NibCoder& coder);

    std::string className() const override { return "UnderlinedLabel"; }

    /// Stores the plain text (empty for none) and shows it underlined.
    void setText(const std::optional<std::string>& text) override;
};

}
