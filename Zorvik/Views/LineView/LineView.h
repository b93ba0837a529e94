#pragma once

#include "platform/ui/View.h"

#include <string>

namespace zorvik {

/// A divider line that is always exactly one device pixel high, whatever height the layout gives it.
class LineView : public platform::ui::View {
public:
    /// A line with the frame.
    explicit LineView(platform::ui::Rect frame = platform::ui::Rect::zero());

    std::string className() const override { return "LineView"; }

    /// Sets the height to one pixel of the main screen (1 divided by its scale), keeping origin and width.
    void layoutSubviews() override;
};

}
