#include "kit/crash/tests/ReportRecords.h"

#include <fstream>

namespace kit::testing {

std::string loadRecord(
    const std::string& path, const std::string& uuid, std::uint64_t base, std::uint64_t size)
{
    return R"({"load":{"path":")" + path + R"(","uuid":")" + uuid + R"(","base":)" + std::to_string(base)
        + R"(,"size":)" + std::to_string(size) + "}}";
}

std::string loadRecord(const platform::foundation::ExecutableImage& image, std::uint64_t base)
{
    return loadRecord(image.path().string(), image.uuidString().value_or(""), base, image.textSize());
}

std::uint64_t addressAt(
    const platform::foundation::ExecutableImage& image, std::uint64_t base, std::uint64_t address)
{
    return base + (address - image.loadAddress());
}

void writeLines(const std::filesystem::path& file, const std::vector<std::string>& lines)
{
    std::ofstream output(file);
    for (const auto& line : lines)
        output << line << "\n";
}

}
