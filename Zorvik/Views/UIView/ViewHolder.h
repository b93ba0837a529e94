#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace zorvik {

/// A container that pins every subview added to it to its own four edges. Nibs place it.
class ViewHolder : public platform::ui::View {
public:
    /// A holder with the frame.
    explicit ViewHolder(platform::ui::Rect frame = platform::ui::Rect::zero());

    std::string className() const override { return "ViewHolder"; }

    /// Adds the view and pins it to the holder's edges.
    void addSubview(const std::shared_ptr<platform::ui::View>& view) override;
};

}
