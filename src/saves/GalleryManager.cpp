#include "saves/GalleryManager.h"

#include "saves/Gallery.h"

#include <utility>

namespace Vel {

GalleryManager::GalleryManager() = default;

GalleryManager::~GalleryManager()
{
    // Nothing may reach a gallery by name while the galleries go.
    const std::map<std::u16string, std::unique_ptr<Gallery>> galleries = std::exchange(m_galleries, {});
    m_unnamed.clear();
}

Gallery* GalleryManager::Add(const std::u16string& name, std::unique_ptr<Gallery> gallery)
{
    Gallery* added = gallery.get();
    if (added == nullptr)
        return nullptr;
    if (m_galleries.contains(name))
        m_unnamed.push_back(std::move(gallery));
    else
        m_galleries.emplace(name, std::move(gallery));
    return added;
}

Gallery* GalleryManager::Find(const std::u16string& name) const
{
    const auto found = m_galleries.find(name);
    return found != m_galleries.end() ? found->second.get() : nullptr;
}

void GalleryManager::DeselectAll()
{
    for (const auto& [name, gallery] : m_galleries)
        gallery->Deselect();
    for (const std::unique_ptr<Gallery>& gallery : m_unnamed)
        gallery->Deselect();
}

} // namespace Vel
