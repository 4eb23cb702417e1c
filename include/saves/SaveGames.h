#pragma once

// The player's saved games: numbered ".sav" files in the save folder, each with a ".bmp" thumbnail of the screen at
// the moment of saving. Saving writes the current scene, the triggers, the shown interfaces, the playlist, the
// characters' poses and the history log; the save/load screen lists the saves by their thumbnails with the date under
// each; loading puts the game back where it was saved, all or nothing: a save that does not read back completely
// leaves the running game as it was and says why in the log. A save begins with the version of its layout: the saves
// made before there were versions load as they always did (the poses stay as they are), those before version 3 with
// a history that starts afresh, and one of a newer version than this engine knows is refused with that reason. The
// quick save is one more save of the same layout, "quick.sav" beside the numbered ones, which each quick save
// replaces whole; the auto saves, written before every choice of the story and at every normal end, rotate through
// "auto-1.sav" (the newest) to "auto-3.sav" (SaveSlots). The trigger "_cancontinue" tells whether any save is there
// for "continue" to load. Start-up creates the one instance with the other managers; the interface functions "save",
// "load", "load_load", "load_delete", "quicksave", "quickload" and "continue", the keys F5 and F9, the choice command
// and the end of a run call it. Every save and load is traced ("save PATH", "load PATH").

#include "core/VelSingleton.h"

#include <string>

namespace Vel {

class Gallery;

class SaveGames : public Singleton<SaveGames>
{
public:
    SaveGames();
    ~SaveGames();

    // The save/load screen; borrowed, may be null.
    void SetSaveLoadGallery(Gallery* gallery) { m_saveLoad = gallery; }

    // "save": the next numbered save and, a frame later, its thumbnail; the gallery's notice shows once.
    void Save();
    // "quicksave" and F5: the quick save replaced as "save" writes a new one. Only while the story is in front.
    void QuickSave();
    // "quickload" and F9: the quick save loaded, when there is one. Only while the story is in front.
    void QuickLoad();
    // A new auto save, when the preference allows and a story scene is current with no menu of its own over it
    // (the right-click menu and what opened from it do not count); never while a load puts a scene back. Its
    // thumbnail is requested of the scenes manager, as a save's.
    void AutoSave();
    // "continue": the save written last, of any kind, loaded; nothing without one.
    void Continue();
    // Sets "_cancontinue" to "yes" when the save folder holds a save, else "no". Once the user folder is known, and
    // after every change of the folder.
    void RefreshCanContinue() const;
    // "load": the save list rebuilt and the save/load screen shown.
    void OpenSaveLoad();
    // "load_load": the save the player picked on the screen.
    void LoadSelected();
    // "load_delete": the picked save and its thumbnail go; the list is shown again.
    void DeleteSelected();
    // Every save with a thumbnail as the gallery's items: the quick save, the auto saves newest first, then the others
    // in number order, each labelled by its kind (none for the numbered ones) and the thumbnail's creation time.
    void RebuildSaveList(Gallery& gallery) const;

    // The next save's path: one more than the highest numbered save present (names that are no number are skipped).
    [[nodiscard]] static std::u16string NextSavePath();
    // Loads the save file; false (the game untouched, the reason in error) when it does not read back completely.
    [[nodiscard]] bool Load(const std::u16string& path, std::string& error);
    // What a save of this moment would hold, in memory: no file, no thumbnail, no trace. Empty without a scene.
    [[nodiscard]] std::string CopyState() const;
    // Puts a copied state back as Load does, all or nothing; false (the game untouched) with the reason in error.
    [[nodiscard]] bool RestoreState(const std::string& state, std::string& error);

private:
    // The save's bytes replace the running game once they check; the load is traced when tracedPath is not empty.
    [[nodiscard]] bool Apply(const std::string& bytes, const std::string& tracedPath, std::string& error);
    void SaveTo(const std::u16string& path);
    void LoadLogged(const std::u16string& path);

    Gallery* m_saveLoad = nullptr;
    bool m_loading = false;
};

} // namespace Vel
