#pragma once

#include "platform/ui/ScrollView.h"

#include <cstdint>

namespace zorvik {

/// A horizontal scroll view that, once locked, can be moved only to one side of its resting position, the
/// offset of one main-screen width (its owner gives it content three widths wide and rests it on the
/// middle third). Direction 0 allows offsets up to that width (the content is swiped to the right),
/// direction 1 offsets from it upward (swiped to the left); any other direction moves freely.
class DirectionalScrollView : public platform::ui::ScrollView {
public:
    /// Offsets up to one screen width: the user swipes the content to the right.
    static constexpr std::int64_t swipeRight = 0;
    /// Offsets from one screen width upward: the user swipes the content to the left.
    static constexpr std::int64_t swipeLeft = 1;

    using ScrollView::ScrollView;
    using ScrollView::setContentOffset;

    std::string className() const override { return "DirectionalScrollView"; }

    /// The side that may be reached while locked.
    std::int64_t direction() const { return m_direction; }
    /// Sets the side that may be reached while locked; nothing moves.
    void setDirection(std::int64_t direction) { m_direction = direction; }
    /// Whether the offset is held to the allowed side.
    bool isLocked() const { return m_isLocked; }
    /// Locks or unlocks the view; nothing moves.
    void setIsLocked(bool locked) { m_isLocked = locked; }

    /// Moves the content; while locked, an offset on the forbidden side of the resting position becomes
    /// the resting position itself, (screen width, 0).
    void setContentOffset(platform::ui::Point offset) override;

private:
    std::int64_t m_direction { swipeRight };
    bool m_isLocked { false };
};

}
