#include "conversion/ACTPingerStore.h"

#include "conversion/ACTPinger.h"

#include "platform/foundation/Defaults.h"
#include "platform/foundation/Dictionary.h"

namespace conversion {

using platform::foundation::Defaults;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

DictionaryRef ACTPingerStore::persistedPingers()
{
    return Defaults::standard()->value(kDefaultsKey).dictionary();
}

ACTPingerStore::ACTPingerStore(const DictionaryRef& pingers)
    : m_transientStore(pingers ? pingers->deepCopy() : Dictionary::make())
{
}

std::shared_ptr<ACTPingerStore> ACTPingerStore::makeFromStorage()
{
    return std::make_shared<ACTPingerStore>(persistedPingers());
}

void ACTPingerStore::addPinger(const ACTPinger& pinger)
{
    if (m_transientStore->size() >= kMaxEntries)
        return;
    m_transientStore->set(pinger.requestString(), pinger.parameters());
    persistStore();
}

void ACTPingerStore::removePinger(const ACTPinger& pinger)
{
    m_transientStore->remove(pinger.requestString());
    persistStore();
}

void ACTPingerStore::persistStore()
{
    Defaults::standard()->setValue(kDefaultsKey, m_transientStore);
}

std::vector<std::shared_ptr<ACTPinger>> ACTPingerStore::allPingers() const
{
    std::vector<std::shared_ptr<ACTPinger>> pingers;
    for (const auto& [requestString, parameters] : m_transientStore->entries())
        pingers.push_back(ACTPinger::pingerWithRequestString(requestString, parameters.dictionary()));
    return pingers;
}

}
