#include "kit/crash/EMBLaunchMarker.h"

#include "kit/crash/capture/EMBCaptureUtilities.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kit {

bool EMBLaunchMarker::exists() const
{
    struct stat status { };
    return stat(m_path.c_str(), &status) == 0;
}

bool EMBLaunchMarker::create() const
{
    int descriptor = open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return false;
    close(descriptor);
    return true;
}

bool EMBLaunchMarker::remove() const
{
    return EMBUnlinkIfExists(m_path.c_str());
}

}
