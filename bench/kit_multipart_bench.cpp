// Cost of the kits' multipart encoder: ten text fields and a 1 MiB file part written to a memory stream,
// beside the same bytes appended to a reserved std::string (what a hand-written body would cost). The
// encoder writes the same pieces through its stream, so the difference is its layer: the stream calls, the
// counting and the checks. The goal: encoder_over_string <= 1.2 (both are memcpy-bound).

#include "kit/core/CRNMultipartMimeStreamEncoder.h"

#include "platform/foundation/OutputStream.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

namespace {

using kit::CRNMultipartMimeStreamEncoder;
using platform::foundation::Bytes;
using platform::foundation::MemoryOutputStream;

constexpr std::size_t kFileSize = 1 << 20;
constexpr int kFields = 10;
const std::string kBoundary = "3F2504E0-4F89-41D3-9A0C-0305E82C3301";

const Bytes& file()
{
    static const Bytes bytes = [] {
        Bytes data(kFileSize);
        for (std::size_t index = 0; index < data.size(); ++index)
            data[index] = static_cast<std::uint8_t>(index * 131);
        return data;
    }();
    return bytes;
}

std::string fieldName(int index)
{
    return "app[field_" + std::to_string(index) + "]";
}

std::string fieldValue(int index)
{
    return "value number " + std::to_string(index) + " of the form";
}

std::size_t encode()
{
    auto stream = std::make_shared<MemoryOutputStream>(kFileSize + 4096);
    CRNMultipartMimeStreamEncoder encoder(stream, kBoundary);
    encoder.encode([](CRNMultipartMimeStreamEncoder& parts) {
        for (int index = 0; index < kFields; ++index)
            parts.addValue(fieldValue(index), fieldName(index));
        parts.addFileData(file(), "report.bin", "application/octet-stream", "report");
    });
    benchmark::DoNotOptimize(stream->data().data());
    return stream->data().size();
}

std::size_t append()
{
    std::string body;
    body.reserve(kFileSize + 4096);
    body += "MIME-Version: 1.0\r\n";
    for (int index = 0; index < kFields; ++index) {
        body += "--";
        body += kBoundary;
        body += "\r\nContent-Disposition: form-data; name=\"";
        body += fieldName(index);
        body += "\"\r\nContent-Type: text/plain\r\n\r\n";
        body += fieldValue(index);
        body += "\r\n";
    }
    body += "--";
    body += kBoundary;
    body += "\r\nContent-Disposition: form-data; name=\"report\"; filename=\"report.bin\"\r\n"
            "Content-Type: application/octet-stream\r\nContent-Transfer-Encoding: binary\r\n\r\n";
    body.append(reinterpret_cast<const char*>(file().data()), file().size());
    body += "\r\n--";
    body += kBoundary;
    body += "--\r\n";
    benchmark::DoNotOptimize(body.data());
    return body.size();
}

void BM_MultipartEncoder(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(encode());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(encode()));
}
BENCHMARK(BM_MultipartEncoder);

void BM_ReservedString(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(append());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(append()));
}
BENCHMARK(BM_ReservedString);

// Both in turn within one run, so that the ratio compares like with like.
void BM_EncoderOverString(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration encoderTime {};
    Clock::duration stringTime {};
    for (auto _ : state) {
        auto start = Clock::now();
        benchmark::DoNotOptimize(encode());
        auto middle = Clock::now();
        benchmark::DoNotOptimize(append());
        auto end = Clock::now();
        encoderTime += middle - start;
        stringTime += end - middle;
    }
    state.counters["encoder_over_string"]
        = std::chrono::duration<double>(encoderTime) / std::chrono::duration<double>(stringTime);
}
BENCHMARK(BM_EncoderOverString);

}
