#pragma once

// The script's variables. Commands set triggers and conditions read them; the declarations "sys_trigger" and
// "gal_trigger" make a trigger persistent while the scripts are parsed. Game triggers travel inside each saved game
// (Save/Load, called by the save-game code); persistent ones live in "sys0.dfn" in the user folder, which start-up
// reads once the scripts are parsed (LoadValues) and shut-down writes back (SaveValues). Start-up creates the one
// instance before the system script is parsed and destroys it at shut-down; it owns every trigger.
//
// "sys0.dfn" holds an int32 count, then per persistent trigger in name order: name, int32 kind, value. The user
// folder is shared by every game, so the file also carries triggers the running game never declares; they are
// kept and written back unchanged.

#include "core/VelSingleton.h"
#include "scene/Trigger.h"

#include <map>
#include <string>

namespace Vel {

class Serializer;

class TriggerManager : public Singleton<TriggerManager>
{
public:
    TriggerManager();
    virtual ~TriggerManager();

    // Creates a game trigger when the name is new.
    void Set(const std::u16string& name, const std::u16string& value);
    // The value; empty, creating nothing, for an unknown name.
    [[nodiscard]] std::u16string Get(const std::u16string& name) const;
    // Whether the trigger has exactly this value (an unknown one has the empty value); copies nothing, for drawing.
    [[nodiscard]] bool Holds(const std::u16string& name, const std::u16string& value) const;
    // Creates the trigger (with an empty value) when the name is new.
    void SetKind(const std::u16string& name, TriggerKind kind);
    // nullptr for an unknown name.
    [[nodiscard]] const Trigger* Find(const std::u16string& name) const;
    [[nodiscard]] const std::map<std::u16string, Trigger>& Triggers() const { return m_triggers; }

    // Empties the values of the game triggers but the engine's ("_" names); the triggers themselves stay.
    void ClearGameValues();
    // The game triggers of a saved game, the engine's left out: int32 count, then name and value of each in name
    // order.
    void Save(Serializer& serializer) const;
    // Empties the game triggers, then sets the ones the save names. A record that names a persistent trigger is
    // skipped, so an old save cannot undo what the player unlocked since, and so is one with an engine's name. Reading
    // stops at the first value the serializer cannot deliver.
    void Load(Serializer& serializer);

    // Reads "sys0.dfn" from the user folder. A missing file gives no triggers. A damaged one gives the records
    // read before the damage; false then, and when the file exists but cannot be read, with a line in the log.
    bool LoadValues();
    // Replaces "sys0.dfn" with the persistent triggers; the old file stays until the new one is complete. False,
    // with a line in the log, when it cannot be written, and when LoadValues found a file it could not read: that
    // file is kept rather than replaced by values that never saw its content.
    bool SaveValues() const;
    // The user folder's "sys0.dfn".
    [[nodiscard]] static std::u16string ValuesFile();

private:
    Trigger& GetOrCreate(const std::u16string& name);

    std::map<std::u16string, Trigger> m_triggers;
    bool m_valuesFileUnreadable = false;
};

} // namespace Vel
