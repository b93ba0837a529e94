#include "Zorvik/Views/DirectionalScrollView/DirectionalScrollView.h"

#include "platform/ui/Screen.h"

namespace zorvik {

void DirectionalScrollView::setContentOffset(platform::ui::Point offset)
{
    if (m_isLocked) {
        double resting = platform::ui::Screen::main().bounds().width();
        bool forbidden = (m_direction == swipeRight && offset.x > resting)
            || (m_direction == swipeLeft && offset.x < resting);
        if (forbidden)
            offset = { resting, 0 };
    }
    ScrollView::setContentOffset(offset);
}

}
