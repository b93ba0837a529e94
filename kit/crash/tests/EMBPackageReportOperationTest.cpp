#include "kit/crash/EMBPackageReportOperation.h"

#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/tests/ReportsFixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

namespace kit {
namespace {

namespace fs = std::filesystem;
using testing::recordFiles;

// Reads a package the way a mail or web server would: Python's email parser, given only the package and its
// file name (whose stem is the boundary). Prints each part's field name, file name, type and bytes in
// hexadecimal (gzip parts inflated), as JSON.
constexpr const char* kReader = R"PY(
import email, email.policy, gzip, json, os, sys
path = sys.argv[1]
boundary = os.path.splitext(os.path.basename(path))[0]
data = open(path, 'rb').read()
message = email.message_from_bytes(
    b'Content-Type: multipart/form-data; boundary="' + boundary.encode() + b'"\r\n' + data,
    policy=email.policy.compat32)
parts = []
for part in message.get_payload():
    body = part.get_payload(decode=True)
    if part.get_content_type() == 'application/x-gzip':
        body = gzip.decompress(body)
    parts.append({'name': part.get_param('name', header='content-disposition'),
                  'file_name': part.get_filename(), 'type': part.get_content_type(),
                  'hex': body.hex()})
print(json.dumps({'multipart': message.is_multipart(), 'parts': parts}))
)PY";

struct ReadPart {
    std::string name;
    std::optional<std::string> fileName;
    std::string type;
    std::string bytes;
};

std::vector<ReadPart> readPackage(const std::string& package)
{
    auto script = fs::path(package).parent_path().parent_path() / "reader.py";
    std::ofstream(script) << kReader;
    std::string command = "python3 '" + script.string() + "' '" + package + "'";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[65536];
    while (std::size_t count = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, count);
    EXPECT_EQ(pclose(pipe), 0);
    auto json = nlohmann::json::parse(output, nullptr, false);
    EXPECT_TRUE(json.is_object() && json["multipart"].get<bool>()) << output;
    std::vector<ReadPart> parts;
    for (const auto& part : json.value("parts", nlohmann::json::array())) {
        std::string hex = part["hex"], bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        parts.push_back({ part["name"],
            part["file_name"].is_null() ? std::nullopt : std::optional<std::string>(part["file_name"]),
            part["type"], bytes });
    }
    return parts;
}

class EMBPackageReportOperationTest : public testing::ReportsFixture {
protected:
    std::optional<std::string> package(const std::shared_ptr<EMBInternalReport>& report)
    {
        auto operation = std::make_shared<EMBPackageReportOperation>(report, m_files);
        operation->start();
        return operation->finalPath();
    }
};

TEST_F(EMBPackageReportOperationTest, APackageHoldsTheReportsIdentityAndEveryRecordFileCompressed)
{
    auto report = addCrashedReport();
    auto files = recordFiles(report->path());
    ASSERT_TRUE(files.contains("signal.embrecord") || files.contains("mach_exception.embrecord"));
    ASSERT_TRUE(files.contains("metadata.embrecord"));

    auto path = package(report);
    ASSERT_TRUE(path);
    EXPECT_EQ(fs::path(*path).parent_path(), fs::path(m_files->preparedPath()));
    EXPECT_EQ(fs::path(*path).extension(), ".multipartmime");
    auto parts = readPackage(*path);
    ASSERT_EQ(parts.size(), files.size() + 2);
    EXPECT_EQ(parts[0].name, "api_key");
    EXPECT_EQ(parts[0].bytes, *report->APIKey());
    EXPECT_EQ(parts[1].name, "report_id");
    EXPECT_EQ(parts[1].bytes, testing::kCrashedReportIdentifier);
    auto file = files.begin();
    for (std::size_t i = 2; i < parts.size(); ++i, ++file) {
        SCOPED_TRACE(parts[i].name);
        EXPECT_EQ(parts[i].name, file->first) << "in listing order";
        EXPECT_EQ(parts[i].fileName, file->first + ".gz");
        EXPECT_EQ(parts[i].type, "application/x-gzip");
        EXPECT_EQ(parts[i].bytes, file->second);
    }
    EXPECT_TRUE(testing::dotFiles(m_directory.path()).empty());
    EXPECT_TRUE(fs::exists(report->path())) << "packaging leaves the report to its caller";
}

TEST_F(EMBPackageReportOperationTest, LeavesOutWhatTheReportLacks)
{
    struct Case {
        const char* name;
        std::string metadata;
        std::string identifier;
        std::vector<std::string> valueParts;
    };
    const Case cases[] = {
        { "null key", "{\"identity\":{\"api_key\":null,\"session_id\":\"5e55\"}}\n", "5e55",
            { "report_id" } },
        { "no identifier", "{\"identity\":{\"api_key\":\"k3y\"}}\n", "", { "api_key" } },
        { "neither", "{\"identity\":{}}\n", "", {} },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto directory = fs::path(m_files->processingPath()) / test.name;
        fs::create_directories(directory);
        std::ofstream(directory / "metadata.embrecord") << test.metadata;
        std::ofstream(directory / "signal.embrecord") << "{\"signal\":{}}\n";
        std::ofstream(directory / "errors_a.embrecord");
        auto path = package(std::make_shared<EMBInternalReport>(directory.string(), test.identifier));
        ASSERT_TRUE(path);
        std::vector<std::string> names;
        for (const auto& part : readPackage(*path))
            names.push_back(part.name);
        auto expected = test.valueParts;
        expected.insert(expected.end(), { "metadata.embrecord", "signal.embrecord" });
        EXPECT_EQ(names, expected) << "an empty file makes no part";
    }
}

TEST_F(EMBPackageReportOperationTest, PackagingTwiceDoesNotPackTheCompressedFiles)
{
    auto report = addCrashedReport();
    auto first = package(report);
    auto second = package(report);
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second) << "each package has a boundary of its own";
    auto parts = readPackage(*second);
    EXPECT_EQ(parts.size(), recordFiles(report->path()).size() + 2);
    for (const auto& part : parts)
        EXPECT_FALSE(part.name.ends_with(".gz")) << part.name;
}

TEST_F(EMBPackageReportOperationTest, AFileThatDoesNotCompressGoesInAsItStands)
{
    auto report = addCrashedReport();
    // A directory where the compressed file would go: gzopen() cannot create it.
    fs::create_directory(report->pathForContentFile("metadata.embrecord.gz"));
    auto path = package(report);
    ASSERT_TRUE(path);
    auto parts = readPackage(*path);
    auto metadata = std::find_if(
        parts.begin(), parts.end(), [](const auto& part) { return part.name == "metadata.embrecord"; });
    ASSERT_NE(metadata, parts.end());
    EXPECT_EQ(metadata->type, "text/plain");
    EXPECT_EQ(metadata->fileName, "metadata.embrecord.gz");
    EXPECT_EQ(metadata->bytes, recordFiles(report->path())["metadata.embrecord"]);
}

TEST_F(EMBPackageReportOperationTest, AShortWriteLeavesNoPackage)
{
    auto report = addCrashedReport();
    // Files may not grow past 1 KiB: the compressed files fit, the package does not.
    auto before = recordFiles(report->path());
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit { 1024, saved.rlim_max };
    setrlimit(RLIMIT_FSIZE, &limit);
    auto path = package(report);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(path);
    EXPECT_TRUE(m_files->preparedPathContents().empty());
    EXPECT_TRUE(testing::dotFiles(m_directory.path()).empty()) << "the partial package is removed";
    EXPECT_EQ(recordFiles(report->path()), before) << "the report is kept";
    EXPECT_TRUE(logged("Unable to write the package"));
}

}
}
