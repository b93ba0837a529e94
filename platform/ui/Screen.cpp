#include "platform/ui/Screen.h"

#include <stdexcept>

namespace platform::ui {

Screen& Screen::mainMutable()
{
    static Screen screen { size320x568, 2 };
    return screen;
}

const Screen& Screen::main()
{
    return mainMutable();
}

void Screen::configureMain(Size size, double scale)
{
    if (!(size.width > 0 && size.height > 0 && scale > 0))
        throw std::invalid_argument("A screen needs a positive size and scale");
    auto& screen = mainMutable();
    screen.m_size = size;
    screen.m_scale = scale;
}

ScopedMainScreen::ScopedMainScreen(Size size, double scale)
    : m_previousSize(Screen::main().bounds().size)
    , m_previousScale(Screen::main().scale())
{
    Screen::configureMain(size, scale);
}

ScopedMainScreen::~ScopedMainScreen()
{
    Screen::configureMain(m_previousSize, m_previousScale);
}

}
