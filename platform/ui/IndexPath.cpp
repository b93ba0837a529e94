#include "platform/ui/IndexPath.h"

namespace platform::ui {

std::string toString(const IndexPath& indexPath)
{
    return "[" + std::to_string(indexPath.section) + ", " + std::to_string(indexPath.row) + "]";
}

}
