#include "Zorvik/DeviceStorage/SDK.h"

#include "Zorvik/DeviceStorage/FileStore.h"

namespace zorvik {

SDK& SDK::sdk()
{
    static SDK shared;
    return shared;
}

SDK::SDK()
    : m_fs(std::make_shared<FileStore>())
{
}

}
