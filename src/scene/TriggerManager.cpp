#include "scene/TriggerManager.h"

#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "data/BinarySerializer.h"
#include "platform/FrameActivity.h"

#include <cstdint>
#include <system_error>

namespace Vel {

namespace {

bool IsPersistentKind(std::int32_t kind)
{
    return kind == static_cast<std::int32_t>(TriggerKind::System) ||
           kind == static_cast<std::int32_t>(TriggerKind::Gallery);
}

// The records of "sys0.dfn" up to the first damage; the number loaded. complete is false when anything was wrong.
std::int32_t ReadValueRecords(Serializer& reader, TriggerManager& triggers, bool& complete)
{
    std::int32_t count = 0;
    reader.ReadInt(count);
    std::int32_t loaded = 0;
    std::int32_t read = 0;
    // The count is not trusted: a damaged one ends at the first record that is not there.
    for (; read < count; ++read) {
        std::u16string name;
        std::int32_t kind = -1;
        std::u16string value;
        reader.ReadString(name);
        reader.ReadInt(kind);
        reader.ReadString(value);
        if (reader.Failed())
            break;
        // Only persistent kinds belong here; another number would turn a declared trigger into something else.
        if (!IsPersistentKind(kind))
            continue;
        triggers.SetKind(name, static_cast<TriggerKind>(kind));
        triggers.Set(name, value);
        ++loaded;
    }
    complete = !reader.Failed() && count >= 0 && loaded == read;
    return loaded;
}

} // namespace

TriggerManager::TriggerManager() = default;

TriggerManager::~TriggerManager() = default;

Trigger& TriggerManager::GetOrCreate(const std::u16string& name)
{
    auto [entry, created] = m_triggers.try_emplace(name);
    if (created)
        entry->second.name = name;
    return entry->second;
}

void TriggerManager::Set(const std::u16string& name, const std::u16string& value)
{
    std::u16string& current = GetOrCreate(name).value;
    if (current == value)
        return;
    current = value;
    // A picture shown by this trigger may come or go.
    FrameActivity::Changed();
}

bool TriggerManager::Holds(const std::u16string& name, const std::u16string& value) const
{
    const Trigger* trigger = Find(name);
    return trigger != nullptr ? trigger->value == value : value.empty();
}

std::u16string TriggerManager::Get(const std::u16string& name) const
{
    const Trigger* trigger = Find(name);
    return trigger != nullptr ? trigger->value : std::u16string();
}

void TriggerManager::SetKind(const std::u16string& name, TriggerKind kind)
{
    GetOrCreate(name).kind = kind;
}

const Trigger* TriggerManager::Find(const std::u16string& name) const
{
    const auto found = m_triggers.find(name);
    return found != m_triggers.end() ? &found->second : nullptr;
}

void TriggerManager::ClearGameValues()
{
    for (auto& [name, trigger] : m_triggers) {
        if (trigger.TravelsWithSaves())
            trigger.value.clear();
    }
}

void TriggerManager::Save(Serializer& serializer) const
{
    std::int32_t count = 0;
    for (const auto& [name, trigger] : m_triggers)
        count += trigger.TravelsWithSaves() ? 1 : 0;
    serializer.WriteInt(count);
    for (const auto& [name, trigger] : m_triggers) {
        if (!trigger.TravelsWithSaves())
            continue;
        serializer.WriteString(name);
        serializer.WriteString(trigger.value);
    }
}

void TriggerManager::Load(Serializer& serializer)
{
    ClearGameValues();
    std::int32_t count = 0;
    serializer.ReadInt(count);
    // The count is not trusted: a damaged one ends at the first record that is not there.
    for (std::int32_t index = 0; index < count; ++index) {
        std::u16string name;
        std::u16string value;
        serializer.ReadString(name);
        serializer.ReadString(value);
        if (serializer.Failed())
            break;
        const Trigger* existing = Find(name);
        if (existing != nullptr ? existing->TravelsWithSaves() : !IsEngineTriggerName(name))
            Set(name, value);
    }
}

std::u16string TriggerManager::ValuesFile()
{
    return UserFiles::GetUserFolder() + u"sys0.dfn";
}

bool TriggerManager::LoadValues()
{
    m_valuesFileUnreadable = false;
    const std::u16string file = ValuesFile();
    const std::string fileName = TextCodec::WideToUtf8(file);
    BinarySerializer reader(file, BinarySerializer::Direction::Read);
    if (!reader.IsOpen()) {
        if (reader.IsMissing())
            return true;
        m_valuesFileUnreadable = true;
        HgeManager::Log(fileName +
                        " cannot be read; the persistent values are not loaded and the file is kept as it is");
        return false;
    }
    bool complete = false;
    const std::int32_t loaded = ReadValueRecords(reader, *this, complete);
    if (complete)
        return true;
    HgeManager::Log(fileName + " is damaged; " + std::to_string(loaded) + " persistent values were loaded from it");
    return false;
}

bool TriggerManager::SaveValues() const
{
    const std::u16string file = ValuesFile();
    const std::string fileName = TextCodec::WideToUtf8(file);
    if (m_valuesFileUnreadable) {
        HgeManager::Log(fileName + " is not written: the file there could not be read at start-up");
        return false;
    }
    std::int32_t count = 0;
    for (const auto& [name, trigger] : m_triggers)
        count += trigger.IsPersistent() ? 1 : 0;
    BinarySerializer writer(file, BinarySerializer::Direction::Write);
    writer.WriteInt(count);
    for (const auto& [name, trigger] : m_triggers) {
        if (!trigger.IsPersistent())
            continue;
        writer.WriteString(name);
        writer.WriteInt(static_cast<std::int32_t>(trigger.kind));
        writer.WriteString(trigger.value);
    }
    if (writer.Commit())
        return true;
    HgeManager::Log("cannot write " + fileName + "; the persistent values of this run are lost");
    return false;
}

} // namespace Vel
