#include "Zorvik/Views/Constraints/Constraints.h"

namespace zorvik {

std::string Constraints::text(Orientation orientation)
{
    return orientation == Orientation::Horizontal ? "H" : "V";
}

}
