#pragma once

// Owns every gallery the script defines, by name (the first gallery of a name stays), and the save the player last
// picked on a save/load screen. Start-up creates the one instance with the other managers and hands the picture
// gallery and the save/load screen to the scenes manager; "load_back" (DeselectAll) drops a selection.

#include "core/VelSingleton.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Vel {

class Gallery;

class GalleryManager : public Singleton<GalleryManager>
{
public:
    GalleryManager();
    ~GalleryManager();

    // Takes the gallery and returns it. When the name is taken the first gallery stays registered; the new one is
    // still kept alive (its block is being read) but no name reaches it.
    Gallery* Add(const std::u16string& name, std::unique_ptr<Gallery> gallery);
    [[nodiscard]] Gallery* Find(const std::u16string& name) const;
    // "load_back": no gallery has a selection any more.
    void DeselectAll();

    // The full path of the ".sav" file last picked on a save/load screen; empty when none.
    void SetSelectedSave(std::u16string path) { m_selectedSave = std::move(path); }
    [[nodiscard]] const std::u16string& GetSelectedSave() const { return m_selectedSave; }

private:
    std::map<std::u16string, std::unique_ptr<Gallery>> m_galleries;
    std::vector<std::unique_ptr<Gallery>> m_unnamed; // galleries whose name was taken
    std::u16string m_selectedSave;
};

} // namespace Vel
