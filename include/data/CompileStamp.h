#pragma once

// The record of what each compiled twin was made from, kept in "cvls.stamp" beside the scripts, so that start-up
// compiles only the sources that changed. CompileScripts reads it before compiling and writes it again only when a
// record changed. A stamp that is missing, damaged or of another version reads as empty, which means "compile".

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace Vel {

// What one file was when it was recorded.
struct FileFingerprint
{
    std::uint64_t size = 0;
    std::int64_t modified = 0; // modification time, nanoseconds since 1970
    std::uint64_t inode = 0;
    std::uint64_t hash = 0; // CompileStamp::Hash of the content

    bool operator==(const FileFingerprint&) const = default;
};

struct CompileRecord
{
    FileFingerprint source;
    FileFingerprint twin;

    bool operator==(const CompileRecord&) const = default;
};

class CompileStamp
{
public:
    static constexpr std::string_view kFileName = "cvls.stamp";
    // A file last modified this long before the stamp was begun cannot be written again without its time changing:
    // covers clocks that advance a few milliseconds at a time and file systems that keep times to 2 seconds.
    static constexpr std::int64_t kSettledNanoseconds = 2'000'000'000;

    CompileStamp() = default;
    explicit CompileStamp(std::int64_t begunAt) : m_begunAt(begunAt) {}

    // Damaged lines lose their own record only; a wrong first line loses them all.
    [[nodiscard]] static CompileStamp Parse(std::string_view text);
    // Names holding a line break are left out: they cannot be read back.
    [[nodiscard]] std::string Format() const;

    // 64-bit FNV-1a.
    [[nodiscard]] static std::uint64_t Hash(std::string_view bytes);

    // True when the file, as it is now (hash not needed), can be trusted to be the recorded one without reading it:
    // same size, time and inode, and its time settled before this stamp was begun, so no later write can share it.
    [[nodiscard]] bool Unchanged(const FileFingerprint& recorded, const FileFingerprint& now) const;

    // Nanoseconds since 1970 at which the compile that wrote this stamp began.
    [[nodiscard]] std::int64_t BegunAt() const { return m_begunAt; }
    [[nodiscard]] const CompileRecord* Find(const std::string& sourceName) const;
    void Set(const std::string& sourceName, const CompileRecord& record) { m_records[sourceName] = record; }
    [[nodiscard]] bool SameRecords(const CompileStamp& other) const { return m_records == other.m_records; }
    [[nodiscard]] bool Empty() const { return m_records.empty(); }

private:
    std::int64_t m_begunAt = 0;
    std::map<std::string, CompileRecord> m_records;
};

} // namespace Vel
