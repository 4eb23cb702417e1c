#include "data/CompileScripts.h"

#include "core/TextCodec.h"
#include "data/CompileStamp.h"
#include "data/Crypter.h"
#include "data/FileReader.h"
#include "data/LoadFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

namespace Vel {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSourceExtension = ".vls";

// Names of the regular files ending in ".vls", in ascending byte order.
std::vector<std::string> ListSources(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        std::string name = it->path().filename().string();
        if (name.size() > kSourceExtension.size() && name.ends_with(kSourceExtension))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string CompiledName(const std::string& sourceName)
{
    return sourceName.substr(0, sourceName.size() - kSourceExtension.size()) + ".cvls";
}

std::int64_t NowNanoseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Size, time and inode of a regular file, its hash left 0; nullopt when there is no such file.
std::optional<FileFingerprint> StatFile(const fs::path& file)
{
    struct stat info = {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileFingerprint{static_cast<std::uint64_t>(info.st_size),
                           static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
                           static_cast<std::uint64_t>(info.st_ino), 0};
}

// The file as it is now is the recorded one: by its size, time and inode when the stamp may trust them, else by the
// hash of its content.
bool Verified(const CompileStamp& stamp, const FileFingerprint& recorded, const FileFingerprint& now,
              const fs::path& file)
{
    if (stamp.Unchanged(recorded, now))
        return true;
    if (recorded.size != now.size)
        return false;
    const std::optional<std::string> bytes = LoadDiskFile(file.string());
    return bytes && CompileStamp::Hash(*bytes) == recorded.hash;
}

// The record to keep when the source and its twin are still the ones recorded; nullopt when the source is compiled.
std::optional<CompileRecord> StillCurrent(const CompileStamp& stamp, const CompileRecord& recorded,
                                          const fs::path& source, const fs::path& twin)
{
    std::optional<FileFingerprint> sourceNow = StatFile(source);
    std::optional<FileFingerprint> twinNow = StatFile(twin);
    if (!sourceNow || !twinNow || !Verified(stamp, recorded.source, *sourceNow, source) ||
        !Verified(stamp, recorded.twin, *twinNow, twin))
        return std::nullopt;
    sourceNow->hash = recorded.source.hash;
    twinNow->hash = recorded.twin.hash;
    return CompileRecord{*sourceNow, *twinNow};
}

void WarnOfInvalidText(const FileReader& reader, const std::string& sourceName, CompileResult& result)
{
    if (reader.InvalidInLastLine() > 0)
        result.warnings.push_back(sourceName + ":" + std::to_string(reader.LineNumber()) +
                                  ": invalid UTF-8 replaced by U+FFFD");
}

// The warnings a compile of the source would give, without writing its twin again.
void ReadForWarnings(const fs::path& folder, const std::string& sourceName, CompileResult& result)
{
    std::optional<std::string> bytes = LoadDiskFile((folder / sourceName).string());
    if (!bytes)
        return;
    FileReader reader;
    reader.OpenBytes(std::move(*bytes));
    while (!reader.Eof()) {
        (void)reader.ReadLine();
        WarnOfInvalidText(reader, sourceName, result);
    }
}

// Writes every line of the open source into the writer; false when the writer lost anything.
bool CopyLines(FileReader& reader, Crypter& writer, const std::string& sourceName, CompileResult& result)
{
    bool written = true;
    while (!reader.Eof()) {
        const std::u16string line = reader.ReadLine();
        WarnOfInvalidText(reader, sourceName, result);
        written = writer.WriteLine(line) && written;
    }
    return writer.CloseWrite() && written;
}

// The finished temporary twin gets the given time, and its record is taken before it goes under its final name
// (a rename keeps size, time and inode).
std::optional<FileFingerprint> FinishTwin(const fs::path& temporary, std::int64_t modified)
{
    const timespec times[2] = {{0, UTIME_OMIT},
                               {static_cast<std::time_t>(modified / 1'000'000'000), modified % 1'000'000'000}};
    // Should the time not take, the twin keeps the time of its writing and is hashed on the next start instead.
    (void)::utimensat(AT_FDCWD, temporary.c_str(), times, 0);
    std::optional<FileFingerprint> twin = StatFile(temporary);
    const std::optional<std::string> bytes = LoadDiskFile(temporary.string());
    if (!twin || !bytes)
        return std::nullopt;
    twin->hash = CompileStamp::Hash(*bytes);
    return twin;
}

// The twin appears under its final name only once it is complete, so a crash leaves the old twin or none.
std::optional<FileFingerprint> WriteTwin(FileReader& reader, const fs::path& folder, const std::string& sourceName,
                                         std::int64_t modified, CompileResult& result)
{
    const std::string compiledName = CompiledName(sourceName);
    const fs::path target = folder / compiledName;
    const fs::path temporary = folder / (compiledName + "." + std::to_string(::getpid()) + ".tmp");
    Crypter writer;
    const bool opened = writer.OpenWrite(TextCodec::Utf8ToWide(temporary.string()));
    // The lines are read even when nothing can be written, so the warnings about the source are the same.
    const bool copied = CopyLines(reader, writer, sourceName, result);
    if (!opened)
        return std::nullopt;
    std::error_code error;
    if (copied) {
        const std::optional<FileFingerprint> twin = FinishTwin(temporary, modified);
        if (twin)
            fs::rename(temporary, target, error);
        if (twin && !error)
            return twin;
    }
    fs::remove(temporary, error);
    return std::nullopt;
}

void CompileOne(const fs::path& folder, const std::string& sourceName, CompileStamp& fresh, CompileResult& result)
{
    // Taken before the read, so that a write during the read leaves the source with a time other than the recorded.
    std::optional<FileFingerprint> source = StatFile(folder / sourceName);
    std::optional<std::string> bytes = LoadDiskFile((folder / sourceName).string());
    if (!source || !bytes) {
        result.warnings.push_back(sourceName + ": cannot be read; not compiled");
        return;
    }
    source->hash = CompileStamp::Hash(*bytes);
    FileReader reader;
    reader.OpenBytes(std::move(*bytes));
    // The twin carries its source's time, or one settled before this compile began when the source is newer: any
    // later write to the twin, however soon, gives it another time, so the next start may trust the twin's time.
    const std::int64_t twinTime = std::min(source->modified, fresh.BegunAt() - CompileStamp::kSettledNanoseconds);
    if (const std::optional<FileFingerprint> twin = WriteTwin(reader, folder, sourceName, twinTime, result)) {
        ++result.compiled;
        fresh.Set(sourceName, CompileRecord{*source, *twin});
        return;
    }
    const std::string compiledName = CompiledName(sourceName);
    result.readFromSource[TextCodec::Utf8ToWide(compiledName)] = TextCodec::Utf8ToWide(sourceName);
    result.warnings.push_back(compiledName + ": cannot be written; " + sourceName + " is read from its source");
}

// Like the twins, the stamp appears whole or not at all. A stamp that cannot be written only costs a check by
// content on the next start, so it is not worth a warning.
void WriteStamp(const fs::path& folder, const CompileStamp& stamp)
{
    const fs::path target = folder / CompileStamp::kFileName;
    const fs::path temporary =
        folder / (std::string(CompileStamp::kFileName) + "." + std::to_string(::getpid()) + ".tmp");
    const std::string text = stamp.Format();
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    std::error_code error;
    if (!out.fail())
        fs::rename(temporary, target, error);
    if (out.fail() || error)
        fs::remove(temporary, error);
}

} // namespace

CompileResult CompileScripts(const std::string& folder, CompileMode mode)
{
    CompileResult result;
    const fs::path root(folder.empty() ? std::string(".") : folder);
    const std::optional<std::string> stampText = LoadDiskFile((root / CompileStamp::kFileName).string());
    const CompileStamp recorded = stampText ? CompileStamp::Parse(*stampText) : CompileStamp();
    CompileStamp fresh(NowNanoseconds());
    for (const std::string& sourceName : ListSources(root)) {
        const CompileRecord* record = mode != CompileMode::Every ? recorded.Find(sourceName) : nullptr;
        const std::optional<CompileRecord> kept =
            record ? StillCurrent(recorded, *record, root / sourceName, root / CompiledName(sourceName)) : std::nullopt;
        if (!kept) {
            CompileOne(root, sourceName, fresh, result);
            continue;
        }
        fresh.Set(sourceName, *kept);
        if (mode == CompileMode::Checked)
            ReadForWarnings(root, sourceName, result);
    }
    if (!fresh.Empty() && !fresh.SameRecords(recorded))
        WriteStamp(root, fresh);
    return result;
}

} // namespace Vel
