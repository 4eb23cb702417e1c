#include "data/CompileStamp.h"

#include <charconv>
#include <optional>

namespace Vel {

namespace {

// The version names the compiled format and what the compiler does: a build that compiles differently changes it,
// so that every twin an older build made is compiled again.
constexpr std::string_view kHeader = "velloria cvls.stamp 1\n";
constexpr std::string_view kBegun = "begun ";

// Reads one number and the character after it from the front of the text; nullopt when there is none.
template <typename Number> std::optional<Number> TakeNumber(std::string_view& text, int base = 10, char after = ' ')
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    const auto used = static_cast<std::size_t>(end - text.data());
    if (error != std::errc() || used >= text.size() || text[used] != after)
        return std::nullopt;
    text.remove_prefix(used + 1);
    return value;
}

std::optional<FileFingerprint> TakeFingerprint(std::string_view& text)
{
    const auto size = TakeNumber<std::uint64_t>(text);
    const auto modified = size ? TakeNumber<std::int64_t>(text) : std::nullopt;
    const auto inode = modified ? TakeNumber<std::uint64_t>(text) : std::nullopt;
    const auto hash = inode ? TakeNumber<std::uint64_t>(text, 16) : std::nullopt;
    if (!hash)
        return std::nullopt;
    return FileFingerprint{*size, *modified, *inode, *hash};
}

void AppendFingerprint(std::string& out, const FileFingerprint& file)
{
    char hash[17] = {};
    std::to_chars(hash, hash + 16, file.hash, 16);
    out += std::to_string(file.size) + ' ' + std::to_string(file.modified) + ' ' + std::to_string(file.inode) + ' ' +
           hash + ' ';
}

} // namespace

CompileStamp CompileStamp::Parse(std::string_view text)
{
    if (!text.starts_with(kHeader))
        return {};
    text.remove_prefix(kHeader.size());
    if (!text.starts_with(kBegun))
        return {};
    text.remove_prefix(kBegun.size());
    const auto begunAt = TakeNumber<std::int64_t>(text, 10, '\n');
    if (!begunAt)
        return {};
    CompileStamp stamp(*begunAt);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const auto source = TakeFingerprint(line);
        const auto twin = source ? TakeFingerprint(line) : std::nullopt;
        if (twin && !line.empty())
            stamp.m_records[std::string(line)] = CompileRecord{*source, *twin};
    }
    return stamp;
}

std::string CompileStamp::Format() const
{
    std::string out(kHeader);
    out += std::string(kBegun) + std::to_string(m_begunAt) + '\n';
    for (const auto& [name, record] : m_records) {
        if (name.find('\n') != std::string::npos)
            continue;
        AppendFingerprint(out, record.source);
        AppendFingerprint(out, record.twin);
        out += name + '\n';
    }
    return out;
}

std::uint64_t CompileStamp::Hash(std::string_view bytes)
{
    std::uint64_t hash = 0xCBF29CE484222325;
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001B3;
    }
    return hash;
}

bool CompileStamp::Unchanged(const FileFingerprint& recorded, const FileFingerprint& now) const
{
    // The difference is taken without sign so that times near the ends of the range cannot overflow.
    const bool settled = recorded.modified <= m_begunAt &&
                         static_cast<std::uint64_t>(m_begunAt) - static_cast<std::uint64_t>(recorded.modified) >=
                             static_cast<std::uint64_t>(kSettledNanoseconds);
    return settled && recorded.size == now.size && recorded.modified == now.modified && recorded.inode == now.inode;
}

const CompileRecord* CompileStamp::Find(const std::string& sourceName) const
{
    const auto found = m_records.find(sourceName);
    return found == m_records.end() ? nullptr : &found->second;
}

} // namespace Vel
