#include "Zorvik/Views/LineView/LineView.h"

#include "platform/ui/Screen.h"

namespace zorvik {

LineView::LineView(platform::ui::Rect frame)
    : View(frame)
{
}

void LineView::layoutSubviews()
{
    View::layoutSubviews();
    auto current = frame();
    setFrame({ current.x(), current.y(), current.width(), 1.0 / platform::ui::Screen::main().scale() });
}

}
