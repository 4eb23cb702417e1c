#pragma once

// Writes rendered sound into a 16-bit stereo WAV file through libsndfile. The header is completed when the writer
// is destroyed.

#include <sndfile.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace Vel {

class WavWriter
{
public:
    // nullptr when the file cannot be created.
    [[nodiscard]] static std::unique_ptr<WavWriter> Create(const std::string& fileName, int sampleRate);
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Interleaved stereo frames; false when they could not all be written.
    [[nodiscard]] bool Write(const std::int16_t* samples, std::size_t frames);

private:
    explicit WavWriter(SNDFILE* file) : m_file(file) {}

    SNDFILE* m_file;
};

} // namespace Vel
