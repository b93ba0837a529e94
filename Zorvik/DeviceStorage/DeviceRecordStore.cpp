#include "Zorvik/DeviceStorage/DeviceRecordStore.h"

#include "Zorvik/DeviceStorage/DeviceDataModel.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/store/ManagedObjectContext.h"

#include <system_error>

namespace zorvik {

namespace fs = std::filesystem;

using platform::foundation::Files;
using platform::foundation::Log;
using platform::store::ManagedObjectContext;

namespace {

const Log& storageLog()
{
    static const Log log("[DeviceStorage]");
    return log;
}

fs::path withSuffix(const fs::path& path, std::string_view suffix)
{
    return fs::path(path.string() + std::string(suffix));
}

// Moves the store file to a free name ending in ".corrupt-<UTC time>"; answers its new path, or nullopt
// when it could not be moved. (SQLite has already dropped any journal that did not fit the file.)
std::optional<fs::path> moveAside(const fs::path& path)
{
    platform::foundation::DateFormatter stamp("yyyyMMdd'T'HHmmss'Z'", "en_US_POSIX", "UTC");
    fs::path base = withSuffix(path, ".corrupt-" + stamp.format(platform::foundation::now()));
    fs::path target = base;
    for (int attempt = 2; Files::exists(target); ++attempt)
        target = withSuffix(base, "-" + std::to_string(attempt));
    std::error_code error;
    fs::rename(path, target, error);
    return error ? std::nullopt : std::optional<fs::path>(target);
}

std::shared_ptr<ManagedObjectContext> openContext(const std::string& fileName, std::optional<fs::path> path)
{
    auto model = DeviceDataModel::model();
    std::string failure = "there is no Documents folder";
    if (path) {
        auto opened = ManagedObjectContext::open(*path, model);
        if (opened.ok())
            return opened.value;
        failure = opened.error;
        if (Files::exists(*path)) {
            if (auto moved = moveAside(*path)) {
                opened = ManagedObjectContext::open(*path, model);
                storageLog().write("The store " + fileName + " could not be opened (" + failure
                    + "); it was moved to " + moved->filename().string()
                    + (opened.ok() ? " and a new store was made" : ", but no new store could be made"));
                if (opened.ok())
                    return opened.value;
                failure = opened.error;
            }
        }
    }
    storageLog().write("The store " + fileName + " is kept in memory until the app quits (" + failure + ")");
    return ManagedObjectContext::openInMemory(model).value;
}

}

DeviceRecordStore::DeviceRecordStore(std::string fileName)
    : m_fileName(std::move(fileName))
    , m_context(openContext(m_fileName, archivePath(m_fileName)))
{
}

DeviceRecordStore::~DeviceRecordStore() = default;

std::shared_ptr<const platform::store::ManagedObjectModel> DeviceRecordStore::model() const
{
    return m_context->model();
}

std::optional<fs::path> DeviceRecordStore::archivePath(std::string_view fileName)
{
    auto documents = Files::documentsDirectory();
    if (!documents)
        return std::nullopt;
    return *documents / fileName;
}

void DeviceRecordStore::updateStore()
{
    auto saved = m_context->save();
    if (!saved.ok())
        storageLog().write(
            "Saving the store " + m_fileName + " failed (" + saved.error + "); its changes stay pending");
}

std::shared_ptr<platform::store::ManagedObject> DeviceRecordStore::fetchFirst(
    const platform::store::FetchRequest& request)
{
    auto fetched = m_context->fetch(request);
    if (!fetched.ok()) {
        storageLog().write("Reading the store " + m_fileName + " failed (" + fetched.error + ")");
        return nullptr;
    }
    return fetched.value.empty() ? nullptr : fetched.value.front();
}

std::size_t DeviceRecordStore::count(const platform::store::FetchRequest& request)
{
    auto counted = m_context->count(request);
    if (!counted.ok()) {
        storageLog().write("Counting in the store " + m_fileName + " failed (" + counted.error + ")");
        return 0;
    }
    return counted.value;
}

}
