#include "Zorvik/Models/Version.h"

namespace zorvik {

std::string Version::appShortVersion()
{
    return "1000";
}

}
