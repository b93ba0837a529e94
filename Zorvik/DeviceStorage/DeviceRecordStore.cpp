#include "Zorvik/DeviceStorage/DeviceRecordStore.h"

#include "Zorvik/DeviceStorage/DeviceDataModel.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/store/ManagedObjectContext.h"

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

std::shared_ptr<ManagedObjectContext> openContext(const std::string& fileName, std::optional<fs::path> path)
{
    auto model = DeviceDataModel::model();
    std::string failure = "there is no Documents folder";
    if (path) {
        auto opened = ManagedObjectContext::open(*path, model);
        if (opened.ok())
            return opened.value;
        failure = opened.error;
        if (opened.fault == platform::store::StoreFault::Damaged) {
            if (auto moved = Files::moveAside(*path)) {
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

platform::store::StoreResult<std::shared_ptr<platform::store::ManagedObject>> DeviceRecordStore::fetchFirst(
    const platform::store::FetchRequest& request)
{
    auto fetched = m_context->fetch(request);
    if (!fetched.ok()) {
        storageLog().write("Reading the store " + m_fileName + " failed (" + fetched.error + ")");
        return { nullptr, fetched.error, fetched.fault };
    }
    return { fetched.value.empty() ? nullptr : fetched.value.front(), {} };
}

platform::store::StoreResult<std::size_t> DeviceRecordStore::count(
    const platform::store::FetchRequest& request)
{
    auto counted = m_context->count(request);
    if (!counted.ok())
        storageLog().write("Counting in the store " + m_fileName + " failed (" + counted.error + ")");
    return counted;
}

}
