#include "kit/crash/Ember.h"

namespace kit {

std::shared_ptr<Ember> Ember::sharedInstance()
{
    static std::shared_ptr<Ember> kit(new Ember);
    return kit;
}

std::shared_ptr<Ember> Ember::init()
{
    return sharedInstance();
}

void Ember::start()
{
    m_started = true;
}

}
