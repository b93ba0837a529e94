#include "kit/analytics/EMBCompressionGZip.h"

#include <array>
#include <dlfcn.h>
#include <memory>
#include <zlib.h>

namespace kit {

namespace {

using DeflateInit2Function = int (*)(z_streamp, int, int, int, int, int, const char*, int);
using DeflateFunction = int (*)(z_streamp, int);
using DeflateEndFunction = int (*)(z_streamp);

constexpr std::size_t kChunkSize { 5120 };
constexpr int kDefaultLevel { -1 };
constexpr int kDeflateMethod { 8 };
// 15 bits of window (32 KB), plus 16 for the gzip header and trailer.
constexpr int kGZipWindowBits { 31 };
constexpr int kMemoryLevel { 4 };
constexpr int kDefaultStrategy { 0 };
constexpr const char* kZlibVersion { "1.2.5" };

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

}

void* EMBDefaultSymbolLookup(const char* name)
{
    return dlsym(RTLD_DEFAULT, name);
}

int EMBCompressionGZipSrcToDest(FILE* source, FILE* destination, EMBSymbolLookup lookup)
{
    auto initialize = reinterpret_cast<DeflateInit2Function>(lookup("deflateInit2_"));
    auto end = reinterpret_cast<DeflateEndFunction>(lookup("deflateEnd"));
    auto compress = reinterpret_cast<DeflateFunction>(lookup("deflate"));
    if (!initialize || !end || !compress)
        return -1;

    z_stream stream {};
    if (initialize(&stream, kDefaultLevel, kDeflateMethod, kGZipWindowBits, kMemoryLevel, kDefaultStrategy,
            kZlibVersion, static_cast<int>(sizeof(z_stream)))
        != Z_OK)
        return -1;

    std::array<unsigned char, kChunkSize> input {};
    std::array<unsigned char, kChunkSize> output {};
    int result = -1;
    for (bool failed = false; !failed;) {
        std::size_t count = std::fread(input.data(), 1, input.size(), source);
        if (std::ferror(source))
            break;
        bool atEnd = std::feof(source) != 0;
        stream.next_in = input.data();
        stream.avail_in = static_cast<uInt>(count);
        int status = Z_OK;
        // The output of one chunk may exceed the buffer (input that does not compress): drain it whole.
        do {
            stream.next_out = output.data();
            stream.avail_out = static_cast<uInt>(output.size());
            status = compress(&stream, atEnd ? Z_FINISH : Z_NO_FLUSH);
            std::size_t produced = output.size() - stream.avail_out;
            failed = status == Z_STREAM_ERROR
                || std::fwrite(output.data(), 1, produced, destination) != produced
                || std::ferror(destination);
        } while (!failed && stream.avail_out == 0);
        if (failed || stream.avail_in != 0)
            break;
        if (atEnd) {
            result = status == Z_STREAM_END ? 0 : -1;
            break;
        }
    }
    end(&stream);
    return result;
}

bool EMBCompressionGZipFile(
    const std::filesystem::path& source, const std::filesystem::path& destination, EMBSymbolLookup lookup)
{
    std::unique_ptr<FILE, FileCloser> input(std::fopen(source.c_str(), "r"));
    std::unique_ptr<FILE, FileCloser> output(std::fopen(destination.c_str(), "w+"));
    if (!input || !output)
        return false;
    bool compressed = EMBCompressionGZipSrcToDest(input.get(), output.get(), lookup) == 0;
    return std::fclose(output.release()) == 0 && compressed;
}

}
