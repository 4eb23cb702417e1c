#include "WavWriter.h"

namespace Vel {

std::unique_ptr<WavWriter> WavWriter::Create(const std::string& fileName, int sampleRate)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(fileName.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return nullptr;
    return std::unique_ptr<WavWriter>(new WavWriter(file));
}

WavWriter::~WavWriter()
{
    sf_close(m_file);
}

bool WavWriter::Write(const std::int16_t* samples, std::size_t frames)
{
    const auto count = static_cast<sf_count_t>(frames);
    return sf_writef_short(m_file, samples, count) == count;
}

} // namespace Vel
