#pragma once

#include <cstdio>
#include <filesystem>

namespace kit {

/// Finds a function of the loaded images by name; null when none has it.
using EMBSymbolLookup = void* (*)(const char* name);

/// The default symbol search of the process (every image loaded so far).
void* EMBDefaultSymbolLookup(const char* name);

/// Writes the gzip of everything `source` holds from where it stands to `destination` (both open streams,
/// for reading and for writing). zlib's deflate functions are found at run time through `lookup`; the
/// stream is made with zlib's default level, a 32 KB window with the gzip header and trailer, and memory
/// level 4. Input is read in chunks of 5120 bytes and the output of each chunk is written whole, however
/// large it comes out. Answers 0 when the whole gzip member was written, -1 when a function is missing or
/// reading, compressing or writing fails.
int EMBCompressionGZipSrcToDest(
    FILE* source, FILE* destination, EMBSymbolLookup lookup = EMBDefaultSymbolLookup);

/// Compresses the file `source` into the file `destination` (created or replaced) with
/// EMBCompressionGZipSrcToDest(); true only when both opened and the compression succeeded. Both are
/// closed in every case.
bool EMBCompressionGZipFile(const std::filesystem::path& source, const std::filesystem::path& destination,
    EMBSymbolLookup lookup = EMBDefaultSymbolLookup);

}
