#pragma once

#include "kit/crash/EMBImageSymbols.h"
#include "kit/crash/EMBStackFrame.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kit {

/// Names the addresses of a crashed process: it knows the images that process had loaded (from its report's
/// "binary_images.embrecord") and finds the same images, by UUID, in this process, whose symbol tables name
/// the addresses. One resolver serves one report, on one thread at a time.
class EMBSymbolResolver {
public:
    /// An image the crashed process had loaded.
    struct BinaryImage {
        std::string path;
        /// None for an image without a build-id.
        std::optional<std::string> uuid;
        std::uint64_t base { 0 };
        std::uint64_t size { 0 };
    };

    /// What an address of a stack is: the instruction a thread was at (its first frame), or where a call
    /// returns to (every later frame).
    enum class AddressKind { InstructionPointer, ReturnAddress };

    /// Reads the crashed process's images from its binary image record file: every image loaded and not
    /// unloaded again before the crash, by base address. False (logged) when the file yields no record; a
    /// damaged file is read as far as its whole records go, logged.
    bool loadBinaryImagesFromFile(const std::string& path);
    const std::vector<BinaryImage>& binaryImages() const { return m_binaryImages; }

    /// The crashed process's image whose range holds `address`, or null.
    const BinaryImage* loadedBinaryImageForPC(std::uint64_t address) const;

    /// Names `frame`'s address: the symbol holding it and the offset from the symbol's start, in the image
    /// of the same UUID loaded in this process, and the crashed image's file name as library. A return
    /// address right at a symbol's start belongs to the call two bytes before it (a call to a function
    /// that does not return ends its caller). False, with the frame left as it was, when the address lies
    /// in no image of the crash, its image is not loaded here (another build) or no symbol holds it.
    bool updateStackFrame(EMBStackFrame& frame, AddressKind kind) const;

private:
    /// An image of the crash as loaded in this process.
    struct LocalImage {
        std::uint64_t base { 0 };
        EMBImageSymbols symbols;
    };

    /// The image loaded in this process with `uuid` and its symbols (looked up once per UUID), or null.
    const LocalImage* localImage(const std::string& uuid) const;

    std::vector<BinaryImage> m_binaryImages;
    mutable std::map<std::string, std::optional<LocalImage>> m_localImages;
};

}
