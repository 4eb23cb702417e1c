#include "SampleSource.h"

#include <algorithm>
#include <cstring>

namespace Vel {

std::unique_ptr<SampleSource> SampleSource::OpenFile(const std::string& fileName)
{
    std::unique_ptr<SampleSource> source(new SampleSource());
    if (!source->Accept(sf_open(fileName.c_str(), SFM_READ, &source->m_info)))
        return nullptr;
    return source;
}

std::unique_ptr<SampleSource> SampleSource::OpenMemory(const void* data, std::size_t size)
{
    if (data == nullptr || size == 0)
        return nullptr;
    // The callbacks see only the MemoryFile, so they may live in one shared table.
    static SF_VIRTUAL_IO s_io = {
        [](void* user) -> sf_count_t { return static_cast<MemoryFile*>(user)->size; },
        [](sf_count_t offset, int whence, void* user) -> sf_count_t {
            auto* memory = static_cast<MemoryFile*>(user);
            const sf_count_t base = whence == SEEK_CUR ? memory->offset : whence == SEEK_END ? memory->size : 0;
            const sf_count_t target = base + offset;
            if (target < 0 || target > memory->size)
                return -1;
            memory->offset = target;
            return target;
        },
        [](void* buffer, sf_count_t count, void* user) -> sf_count_t {
            auto* memory = static_cast<MemoryFile*>(user);
            const sf_count_t bytes =
                std::clamp<sf_count_t>(memory->size - memory->offset, 0, std::max<sf_count_t>(count, 0));
            std::memcpy(buffer, memory->data + memory->offset, static_cast<std::size_t>(bytes));
            memory->offset += bytes;
            return bytes;
        },
        [](const void*, sf_count_t, void*) -> sf_count_t { return 0; },
        [](void* user) -> sf_count_t { return static_cast<MemoryFile*>(user)->offset; },
    };
    std::unique_ptr<SampleSource> source(new SampleSource());
    source->m_memory.data = static_cast<const unsigned char*>(data);
    source->m_memory.size = static_cast<sf_count_t>(size);
    if (!source->Accept(sf_open_virtual(&s_io, SFM_READ, &source->m_info, &source->m_memory)))
        return nullptr;
    return source;
}

SampleSource::~SampleSource()
{
    if (m_file != nullptr)
        sf_close(m_file);
}

bool SampleSource::Accept(SNDFILE* file)
{
    m_file = file;
    if (m_file == nullptr || m_info.frames <= 0 || m_info.channels <= 0 || m_info.samplerate <= 0)
        return false;
    // Float data (Vorbis, float WAV) may overshoot 1.0 a little; clipping keeps it from wrapping round to the
    // opposite sign when it becomes 16-bit.
    sf_command(m_file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

std::int64_t SampleSource::GetLength() const
{
    return m_info.frames == SF_COUNT_MAX ? 0 : m_info.frames;
}

std::size_t SampleSource::Read(std::int16_t* out, std::size_t frames)
{
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t got = ReadConverted(out + done * kChannels, frames - done);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

std::size_t SampleSource::ReadConverted(std::int16_t* out, std::size_t frames)
{
    if (m_info.channels == kChannels)
        return static_cast<std::size_t>(
            std::max<sf_count_t>(sf_readf_short(m_file, out, static_cast<sf_count_t>(frames)), 0));
    const auto channels = static_cast<std::size_t>(m_info.channels);
    if (m_scratch.size() < frames * channels)
        m_scratch.resize(frames * channels);
    const sf_count_t read = sf_readf_short(m_file, m_scratch.data(), static_cast<sf_count_t>(frames));
    const std::size_t got = static_cast<std::size_t>(std::max<sf_count_t>(read, 0));
    for (std::size_t frame = 0; frame < got; ++frame) {
        const std::int16_t* in = m_scratch.data() + frame * channels;
        out[frame * 2] = in[0];
        out[frame * 2 + 1] = channels == 1 ? in[0] : in[1];
    }
    return got;
}

bool SampleSource::Seek(std::int64_t frame)
{
    return sf_seek(m_file, static_cast<sf_count_t>(frame), SEEK_SET) == frame;
}

} // namespace Vel
