#include "data/PoCatalog.h"

#include "core/TextCodec.h"

#include <gettext-po.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <memory>

namespace Vel {

namespace {

constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);

// libgettextpo's handlers take no user pointer: the reading in progress on this thread keeps its first error here.
struct ReadErrors
{
    bool failed = false;
    std::size_t line = kNoLine;
    std::string reason;
};
thread_local ReadErrors* t_errors = nullptr;

void Record(int severity, std::size_t line, const char* text)
{
    if (t_errors == nullptr || severity == PO_SEVERITY_WARNING || t_errors->failed)
        return;
    t_errors->failed = true;
    t_errors->line = line;
    t_errors->reason = text != nullptr ? text : "unreadable";
    while (!t_errors->reason.empty() && t_errors->reason.back() == '\n')
        t_errors->reason.pop_back();
}

// The library's documented contract says a fatal report must not return, and its own handlers end the process there.
// Its reader only reports "found N fatal errors" after it has finished with the file, so returning is safe there and
// keeps the game running; the errors before it carry the line.
void OnError(int severity, po_message_t, const char*, std::size_t line, std::size_t, int, const char* text)
{
    Record(severity, line, text);
}

void OnError2(int severity, po_message_t, const char*, std::size_t line, std::size_t, int, const char* text,
              po_message_t, const char*, std::size_t, std::size_t, int, const char*)
{
    Record(severity, line, text);
}

const po_xerror_handler kHandler{OnError, OnError2};

struct FileCloser
{
    void operator()(po_file_t file) const { po_file_free(file); }
};
using PoFile = std::unique_ptr<struct po_file, FileCloser>;

struct IteratorCloser
{
    void operator()(po_message_iterator_t iterator) const { po_message_iterator_free(iterator); }
};

// libgettextpo reads only named files: the bytes (from the disk or an archive) are handed over as an anonymous
// in-memory file.
PoFile ReadBytes(const std::string& bytes)
{
    const int descriptor = memfd_create("po", MFD_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t step = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (step <= 0)
            break;
        written += static_cast<std::size_t>(step);
    }
    PoFile file;
    if (written == bytes.size())
        file.reset(po_file_read(("/proc/self/fd/" + std::to_string(descriptor)).c_str(), &kHandler));
    close(descriptor);
    return file;
}

// The lines that start a msgid of a live entry, in the file's order: libgettextpo keeps no line of its own entries.
std::vector<std::int64_t> MsgidLines(const std::string& bytes)
{
    std::vector<std::int64_t> lines;
    std::int64_t line = 1;
    for (std::size_t at = 0; at < bytes.size(); ++line) {
        if (bytes.compare(at, 6, "msgid ") == 0)
            lines.push_back(line);
        const std::size_t end = bytes.find('\n', at);
        at = end == std::string::npos ? bytes.size() : end + 1;
    }
    return lines;
}

bool ToWide(const char* utf8, std::optional<std::u16string>& wide)
{
    if (utf8 == nullptr) {
        wide.reset();
        return true;
    }
    std::size_t invalid = 0;
    wide = TextCodec::Utf8ToWide(utf8, &invalid);
    return invalid == 0;
}

bool ToWide(const char* utf8, std::u16string& wide)
{
    std::size_t invalid = 0;
    wide = TextCodec::Utf8ToWide(utf8 != nullptr ? utf8 : "", &invalid);
    return invalid == 0;
}

} // namespace

std::optional<PoCatalog> PoCatalog::Read(const std::string& bytes, const std::string& name, std::string& error)
{
    ReadErrors errors;
    t_errors = &errors;
    PoFile file = ReadBytes(bytes);
    t_errors = nullptr;
    if (!file || errors.failed) {
        const std::string line = errors.line == kNoLine ? "" : ", line " + std::to_string(errors.line);
        error = name + line + ": " + (file ? errors.reason : "cannot be read");
        return std::nullopt;
    }
    const std::vector<std::int64_t> lines = MsgidLines(bytes);
    std::vector<PoEntry> entries;
    std::unique_ptr<struct po_message_iterator, IteratorCloser> iterator(po_message_iterator(file.get(), nullptr));
    while (po_message_t message = po_next_message(iterator.get())) {
        if (po_message_is_obsolete(message))
            continue;
        PoEntry entry;
        entry.fuzzy = po_message_is_fuzzy(message) != 0;
        if (!ToWide(po_message_msgctxt(message), entry.context) || !ToWide(po_message_msgid(message), entry.text) ||
            !ToWide(po_message_msgstr(message), entry.translation)) {
            error = name + ": is not UTF-8 text";
            return std::nullopt;
        }
        entries.push_back(std::move(entry));
    }
    PoCatalog catalog;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (lines.size() == entries.size())
            entries[i].line = lines[i];
        // The header is the entry of the empty msgid, no text of the game.
        if (!entries[i].text.empty() || entries[i].context)
            catalog.Add(std::move(entries[i]));
    }
    return catalog;
}

void PoCatalog::Add(PoEntry entry)
{
    if (!entry.fuzzy && !entry.translation.empty())
        m_translations.emplace(entry.Key(), entry.translation);
    m_entries.push_back(std::move(entry));
}

const std::u16string* PoCatalog::Find(std::u16string_view context, std::u16string_view text) const
{
    const auto found = m_translations.find(Key(context, text));
    return found == m_translations.end() ? nullptr : &found->second;
}

std::u16string PoEntry::Key() const
{
    if (!context)
        return text;
    return std::u16string(*context).append(1, u'\x04').append(text);
}

std::u16string PoCatalog::Key(std::u16string_view context, std::u16string_view text)
{
    std::u16string key;
    if (!context.empty())
        key.append(context).push_back(u'\x04');
    return key.append(text);
}

} // namespace Vel
