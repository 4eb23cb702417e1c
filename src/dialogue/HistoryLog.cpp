#include "dialogue/HistoryLog.h"

#include "core/TextCodec.h"
#include "data/Serializer.h"
#include "dialogue/Textbox.h"
#include "resources/ResourceManager.h"

#include <cassert>
#include <utility>

namespace Vel {

namespace {

std::u16string StyleName(const Style* style)
{
    const ResourceManager* resources = ResourceManager::GetSingletonPtr();
    return resources != nullptr ? resources->StyleName(style) : std::u16string();
}

Style* FindStyle(const std::u16string& name)
{
    const ResourceManager* resources = ResourceManager::GetSingletonPtr();
    return resources != nullptr && !name.empty() ? resources->FindStyle(name) : nullptr;
}

} // namespace

HistoryLog::HistoryLog()
{
    m_entries.reserve(kCapacity);
}

HistoryLog::~HistoryLog() = default;

void HistoryLog::Add(const Textbox* namebox, const Textbox& textbox, std::u16string_view voice)
{
    Add(namebox != nullptr ? std::u16string_view(namebox->GetLineText()) : std::u16string_view(), textbox.GetLineText(),
        voice, namebox != nullptr ? namebox->GetStyle() : nullptr, textbox.GetStyle());
}

void HistoryLog::Add(std::string_view name, std::string_view text, std::u16string_view voice, Style* nameStyle,
                     Style* textStyle)
{
    Add(TextCodec::CodePageToWide(name), TextCodec::CodePageToWide(text), voice, nameStyle, textStyle);
}

// A full log reuses the oldest line's strings, so a long story keeps the room it has.
void HistoryLog::Add(std::u16string_view name, std::u16string_view text, std::u16string_view voice, Style* nameStyle,
                     Style* textStyle)
{
    HistoryEntry* entry = nullptr;
    if (m_entries.size() < kCapacity) {
        entry = &m_entries.emplace_back();
    } else {
        entry = &m_entries[m_oldest];
        m_oldest = (m_oldest + 1) % kCapacity;
    }
    entry->unicodeName.assign(name);
    entry->unicodeText.assign(text);
    entry->name = TextCodec::WideToCodePage(entry->unicodeName);
    entry->text = TextCodec::WideToCodePage(entry->unicodeText);
    entry->voice.assign(voice);
    entry->nameStyle = nameStyle;
    entry->textStyle = textStyle;
}

void HistoryLog::Clear()
{
    m_entries.clear();
    m_oldest = 0;
}

const HistoryEntry& HistoryLog::At(std::size_t index) const
{
    assert(index < m_entries.size());
    return m_entries[(m_oldest + index) % m_entries.size()];
}

void HistoryLog::Save(Serializer& writer) const
{
    writer.WriteInt(static_cast<std::int32_t>(Size()));
    for (std::size_t index = 0; index < Size(); ++index) {
        const HistoryEntry& entry = At(index);
        writer.WriteString(entry.unicodeName);
        writer.WriteString(entry.unicodeText);
        writer.WriteString(entry.voice);
        writer.WriteString(StyleName(entry.nameStyle));
        writer.WriteString(StyleName(entry.textStyle));
    }
}

bool HistoryLog::Read(Serializer& reader, std::vector<HistoryEntry>& entries, std::string& error)
{
    std::int32_t count = -1;
    reader.ReadInt(count);
    // The engine never writes more than it keeps.
    if (reader.Failed() || count < 0 || static_cast<std::size_t>(count) > kCapacity) {
        error = "the number of history lines is damaged";
        return false;
    }
    entries.resize(static_cast<std::size_t>(count));
    std::u16string name, text, nameStyle, textStyle;
    for (HistoryEntry& entry : entries) {
        reader.ReadString(name);
        reader.ReadString(text);
        reader.ReadString(entry.voice);
        reader.ReadString(nameStyle);
        reader.ReadString(textStyle);
        if (reader.Failed()) {
            error = "the history lines are damaged";
            return false;
        }
        entry.name = TextCodec::WideToCodePage(name);
        entry.text = TextCodec::WideToCodePage(text);
        entry.unicodeName = std::move(name);
        entry.unicodeText = std::move(text);
        entry.nameStyle = FindStyle(nameStyle);
        entry.textStyle = FindStyle(textStyle);
    }
    return true;
}

void HistoryLog::Restore(std::vector<HistoryEntry> entries)
{
    m_entries = std::move(entries);
    m_entries.reserve(kCapacity);
    m_oldest = 0;
}

} // namespace Vel
