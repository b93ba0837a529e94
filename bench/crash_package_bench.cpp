// Packaging a crash report for upload against the bare compression it rests on. The report is about 4 MiB:
// a signal record with 20 threads of 512 frames each, its symbolicated companion (a demangled C++ name per
// frame), 400 binary images, metadata and a full custom log. BM_PackageReport builds the whole upload
// package (each file gzip-compressed beside it with zlib's gz calls, then the multipart body written under
// a dot name and renamed into prepared); BM_DeflateFiles reads the same files and writes each one's gzip
// form with zlib's deflate at level 6. The goal: packaging takes at most 1.1 times as long.

#include "kit/crash/EMBFileManager.h"
#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/EMBPackageReportOperation.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kThreads = 20;
constexpr int kFrames = 512;
constexpr int kImages = 400;

struct Report {
    fs::path root;
    fs::path deflated;
    fs::path directory;
    std::vector<fs::path> files;
    std::size_t bytes { 0 };
};

void write(Report& report, const std::string& name, const std::string& text)
{
    auto path = report.directory / name;
    std::ofstream(path, std::ios::binary) << text;
    report.files.push_back(path);
    report.bytes += text.size();
}

// A folder under the temporary directory, removed at exit.
struct Folder {
    fs::path path { fs::temp_directory_path() / ("zorvik-package-bench-" + std::to_string(getpid())) };
    ~Folder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// The report, made once.
const Report& report()
{
    static const Folder folder;
    static const Report made = [] {
        Report report;
        report.root = folder.path;
        report.deflated = folder.path / "deflated";
        fs::create_directories(report.deflated);
        report.directory = report.root / "v3" / "processing" / "7d3c2a10b1e44c5f9c8e2f6a5b4d3c21";
        fs::create_directories(report.directory);
        fs::create_directories(report.root / "v3" / "prepared");
        std::mt19937_64 random(124);
        auto address = [&] { return std::to_string(0x55d0'0000'0000ULL + random() % 0x4000'0000ULL); };

        std::string threads = "{\"threads\":[";
        std::string symbolicated = "{\"threads\":[";
        for (int thread = 0; thread < kThreads; ++thread) {
            threads += std::string(thread ? "," : "") + "{\"crashed\":" + (thread ? "false" : "true")
                + ",\"registers\":{\"rip\":" + address() + ",\"rsp\":" + address() + "},\"stacktrace\":[";
            symbolicated += std::string(thread ? "," : "") + "[";
            for (int frame = 0; frame < kFrames; ++frame) {
                threads += (frame ? "," : "") + address();
                symbolicated += std::string(frame ? "," : "")
                    + "{\"symbol\":\"(anonymous "
                      "namespace)::zorvik::api::detail::RESTRepository<zorvik::api::Invoice>::update(std::"
                      "shared_"
                      "ptr<"
                      "platform::foundation::Dictionary> const&, std::function<void "
                      "(platform::foundation::Value "
                      "const&)>, std::function<void ()>, std::function<void (platform::foundation::Error "
                      "const&)"
                      ">) const::{lambda()#"
                    + std::to_string(frame) + "}::operator()() const\",\"offset\":"
                    + std::to_string(random() % 4096) + ",\"library\":\"zorvik\"}";
            }
            threads += "]}";
            symbolicated += "]";
        }
        threads += "]}\n";
        symbolicated += "]}\n";
        write(report, "signal.embrecord",
            "{\"signal\":{\"number\":11,\"code\":1,\"address\":16,\"name\":\"SIGSEGV\"}}\n" + threads);
        write(report, "signal.embrecord.symbolicated", symbolicated);

        std::string images;
        for (int image = 0; image < kImages; ++image) {
            char uuid[33];
            std::snprintf(uuid, sizeof uuid, "%016llx%016llx", static_cast<unsigned long long>(random()),
                static_cast<unsigned long long>(random()));
            images += "{\"load\":{\"base\":" + address() + ",\"size\":" + std::to_string(random() % (1 << 24))
                + ",\"uuid\":\"" + uuid + "\",\"path\":\"/usr/lib/x86_64-linux-gnu/libzorvik-part-"
                + std::to_string(image) + ".so.1\",\"name\":\"libzorvik-part-" + std::to_string(image)
                + "\"}}\n";
        }
        write(report, "binary_images.embrecord", images);
        write(report, "metadata.embrecord",
            "{\"identity\":{\"api_key\":\"0123456789abcdef0123456789abcdef01234567\","
            "\"session_id\":\"7d3c2a10b1e44c5f9c8e2f6a5b4d3c21\",\"started_at\":1765000000}}\n"
            "{\"host\":{\"os_display_version\":\"12.0\",\"os_build_version\":\"22A1\"}}\n"
            "{\"application\":{\"build_version\":\"41\",\"display_version\":\"2.1\"}}\n");
        std::string log;
        for (int line = 0; log.size() < 65536; ++line)
            log += "{\"log\":{\"time\":" + std::to_string(1000 + line) + ",\"msg\":\""
                + std::to_string(random()) + " sent invoice reference INV-" + std::to_string(line) + "\"}}\n";
        write(report, "log_a.embrecord", log);
        return report;
    }();
    return made;
}

// The file's bytes, read at one go as a careful program would.
std::string readAll(const fs::path& path)
{
    std::ifstream input(path, std::ios::binary);
    std::string bytes(fs::file_size(path), '\0');
    input.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(input.gcount()));
    return bytes;
}

void BM_PackageReport(benchmark::State& state)
{
    const auto& made = report();
    auto files = std::make_shared<kit::EMBFileManager>(made.root.string());
    auto opened = std::make_shared<kit::EMBInternalReport>(
        made.directory.string(), "7d3c2a10b1e44c5f9c8e2f6a5b4d3c21");
    for (auto _ : state) {
        auto operation = std::make_shared<kit::EMBPackageReportOperation>(opened, files);
        operation->start();
        if (!operation->finalPath())
            state.SkipWithError("no package");
        state.PauseTiming();
        fs::remove(*operation->finalPath());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * made.bytes));
    state.counters["report_MiB"] = double(made.bytes) / (1 << 20);
}
BENCHMARK(BM_PackageReport)->Unit(benchmark::kMillisecond);

void BM_DeflateFiles(benchmark::State& state)
{
    const auto& made = report();
    for (auto _ : state) {
        for (const auto& path : made.files) {
            auto data = readAll(path);
            z_stream stream {};
            deflateInit2(&stream, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
            std::string compressed(deflateBound(&stream, data.size()), '\0');
            stream.next_in = reinterpret_cast<Bytef*>(data.data());
            stream.avail_in = static_cast<uInt>(data.size());
            stream.next_out = reinterpret_cast<Bytef*>(compressed.data());
            stream.avail_out = static_cast<uInt>(compressed.size());
            deflate(&stream, Z_FINISH);
            compressed.resize(stream.total_out);
            deflateEnd(&stream);
            std::ofstream(made.deflated / (path.filename().string() + ".gz"), std::ios::binary) << compressed;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * made.bytes));
}
BENCHMARK(BM_DeflateFiles)->Unit(benchmark::kMillisecond);

}
