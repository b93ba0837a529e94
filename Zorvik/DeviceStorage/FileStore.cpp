#include "Zorvik/DeviceStorage/FileStore.h"

#include "platform/foundation/Files.h"

namespace zorvik {

using platform::foundation::Files;

namespace {

bool isPlainFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
        && name.find('\0') == std::string_view::npos;
}

}

std::optional<std::filesystem::path> FileStore::pathForFile(std::string_view name) const
{
    if (!isPlainFileName(name))
        return std::nullopt;
    auto documents = Files::documentsDirectory();
    if (!documents)
        return std::nullopt;
    return *documents / name;
}

void FileStore::saveToFile(std::string_view name, std::string_view contents) const
{
    if (auto path = pathForFile(name))
        Files::writeText(*path, contents);
}

void FileStore::saveDataToFile(std::string_view name, const platform::foundation::Bytes& contents) const
{
    if (auto path = pathForFile(name))
        Files::writeBytes(*path, contents);
}

std::optional<std::string> FileStore::readFromFile(std::string_view name) const
{
    auto path = pathForFile(name);
    return path ? Files::readText(*path) : std::nullopt;
}

std::optional<platform::foundation::Bytes> FileStore::readDataFromFile(std::string_view name) const
{
    auto path = pathForFile(name);
    return path ? Files::readBytes(*path) : std::nullopt;
}

void FileStore::removeFile(std::string_view name) const
{
    if (auto path = pathForFile(name))
        Files::remove(*path);
}

}
