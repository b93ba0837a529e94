#include "Zorvik/Models/Pin.h"

namespace zorvik {

bool Pin::addDigit(std::int64_t digit)
{
    if (digit < 0 || digit > 9 || isAtMaxLength())
        return false;
    m_pin.push_back(static_cast<char>('0' + digit));
    return true;
}

bool Pin::removeDigit()
{
    if (m_pin.empty())
        return false;
    m_pin.pop_back();
    return true;
}

}
