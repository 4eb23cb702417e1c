#pragma once

// The decoder behind every sound stream: libsndfile reading a file, or a block of memory in place. Whatever the
// file holds, it hands out interleaved signed 16-bit stereo: a mono sound is copied to both sides so it plays as loud
// as a stereo one, and a sound with more than two channels keeps its first two.

#include <sndfile.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Vel {

class SampleSource
{
public:
    static constexpr int kChannels = 2;

    // nullptr when libsndfile cannot open the data or it holds no frames. The memory block is read in place and must
    // outlive the source.
    [[nodiscard]] static std::unique_ptr<SampleSource> OpenFile(const std::string& fileName);
    [[nodiscard]] static std::unique_ptr<SampleSource> OpenMemory(const void* data, std::size_t size);
    ~SampleSource();
    SampleSource(const SampleSource&) = delete;
    SampleSource& operator=(const SampleSource&) = delete;

    [[nodiscard]] int GetSampleRate() const { return m_info.samplerate; }
    // Frames of the whole sound as the file states it; 0 when unknown.
    [[nodiscard]] std::int64_t GetLength() const;
    [[nodiscard]] bool IsSeekable() const { return m_info.seekable != 0; }

    // Fills out with up to frames stereo frames (frames * 2 samples); fewer only at the end of the sound or on a
    // read error.
    [[nodiscard]] std::size_t Read(std::int16_t* out, std::size_t frames);
    [[nodiscard]] bool Seek(std::int64_t frame);

private:
    // The read position within a caller's memory block, for libsndfile's virtual I/O.
    struct MemoryFile
    {
        const unsigned char* data = nullptr;
        sf_count_t size = 0;
        sf_count_t offset = 0;
    };

    SampleSource() = default;
    [[nodiscard]] bool Accept(SNDFILE* file);
    std::size_t ReadConverted(std::int16_t* out, std::size_t frames);

    SNDFILE* m_file = nullptr;
    SF_INFO m_info{};
    MemoryFile m_memory;
    std::vector<std::int16_t> m_scratch; // a file's own channels before they become stereo; grows once, then reused
};

} // namespace Vel
