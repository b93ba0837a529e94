#include "platform/foundation/HugePages.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/mman.h>

using namespace platform::foundation;

namespace {

constexpr std::size_t kFrame = HugePageFrames::kFrameSize;

// The kilobytes of huge pages in the mapping that holds `address`, from the kernel's account of this process.
std::size_t hugePageKilobytesAround(const void* address)
{
    auto wanted = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t start = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream header(line);
        if (header >> std::hex >> start >> dash >> end && dash == '-') {
            inside = wanted >= start && wanted < end;
            continue;
        }
        if (inside && line.starts_with("AnonHugePages:"))
            return std::stoul(line.substr(std::strlen("AnonHugePages:")));
    }
    return 0;
}

// A frame-aligned anonymous mapping of `frames` frames, every page written, unmapped at the end.
class AlignedMapping {
public:
    explicit AlignedMapping(std::size_t frames)
        : m_size((frames + 1) * kFrame)
        , m_base(mmap(nullptr, m_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))
    {
        auto aligned = (reinterpret_cast<std::uintptr_t>(m_base) + kFrame - 1) & ~(kFrame - 1);
        m_frames = reinterpret_cast<unsigned char*>(aligned);
        for (std::size_t offset = 0; offset < frames * kFrame; ++offset)
            m_frames[offset] = static_cast<unsigned char>(offset * 7);
    }
    ~AlignedMapping() { munmap(m_base, m_size); }
    AlignedMapping(const AlignedMapping&) = delete;
    AlignedMapping& operator=(const AlignedMapping&) = delete;

    unsigned char* frame(std::size_t index) const { return m_frames + index * kFrame; }

private:
    std::size_t m_size;
    void* m_base;
    unsigned char* m_frames { nullptr };
};

// Whether this kernel backs a frame with a huge page when asked (not with huge pages switched off, nor
// before Linux 6.1).
bool kernelCollapsesFrames()
{
    AlignedMapping probe(1);
    HugePageFrames frames;
    frames.note(probe.frame(0));
    return frames.collapse() == 1;
}

}

TEST(HugePageFrames, BacksTheNotedFramesWithHugePagesAndKeepsWhatTheyHold)
{
    if (!kernelCollapsesFrames())
        GTEST_SKIP() << "this kernel backs no frame with a huge page on request";
    AlignedMapping mapping(3);
    HugePageFrames frames;
    // Runs of addresses in one frame, a frame noted again later, and one frame never noted.
    for (std::size_t offset = 0; offset < kFrame; offset += 4096)
        frames.note(mapping.frame(0) + offset);
    frames.note(mapping.frame(2) + 5);
    frames.note(mapping.frame(0) + 17);

    EXPECT_EQ(frames.collapse(), 2u);
    EXPECT_EQ(hugePageKilobytesAround(mapping.frame(0)), 2 * kFrame / 1024);
    for (std::size_t offset = 0; offset < 3 * kFrame; offset += 4093)
        ASSERT_EQ(mapping.frame(0)[offset], static_cast<unsigned char>(offset * 7)) << offset;
    EXPECT_EQ(frames.collapse(), 0u) << "a collapse forgets the frames it was told";
}

TEST(HugePageFrames, AFrameNotWhollyMappedIsLeftAlone)
{
    AlignedMapping mapping(1);
    HugePageFrames frames;
    // The frame after the mapping's aligned one runs past its end.
    frames.note(mapping.frame(1));
    EXPECT_EQ(frames.collapse(), 0u);
}

TEST(Json, ALargeAnswersRecordsLieOnHugePages)
{
    if (!kernelCollapsesFrames())
        GTEST_SKIP() << "this kernel backs no frame with a huge page on request";
    std::string text = "[";
    for (int index = 0; index < 12000; ++index) {
        text += index ? "," : "";
        text += R"({"id":)" + std::to_string(index)
            + R"(,"folders":[{"name":"todo","date":"2026-12-10T11:52:00.000+0000"}],"sent":"x"})";
    }
    text += "]";
    ASSERT_GE(text.size(), std::size_t { 1 } << 20);

    auto result = parseJson(text);
    ASSERT_TRUE(result.ok()) << result.error;
    auto list = result.value.array();
    ASSERT_EQ(list->size(), 12000u);
    auto* record = list->at(6000).dictionaryPointer();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->get("id"), Value(6000));
    EXPECT_EQ(record->get("folders").array()->at(0).dictionary()->get("name"), Value("todo"));
    EXPECT_GT(hugePageKilobytesAround(record), 0u);
}
