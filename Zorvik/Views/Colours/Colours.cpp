#include "Zorvik/Views/Colours/Colours.h"

#include "Zorvik/Views/Colours/ColoursObjc.h"

namespace zorvik {

const platform::ui::Color& Colours::teal()
{
    static const platform::ui::Color colour = ColoursObjc::teal();
    return colour;
}

}
