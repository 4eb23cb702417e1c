#pragma once

// A full-screen interface that shows a set of pictures: the picture gallery, whose pictures unlock through trigger
// values as the story shows them, or, in save/load mode, the save/load screen listing the saved games by their
// thumbnails. Two presentations share this base: SlideGallery (a carousel) and ThumbsGallery (pages of a grid). The
// script fills a gallery (items, parts, sizes); the gallery manager owns it; the scenes manager shows, updates and
// draws the two special ones.

#include "scene/FullScreenLayer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Vel {

class Menu;
class Poster;
class Resource;
class SceneNode;
class Sprite;
class Style;
class TextLayout;
class Textbox;

class Gallery : public FullScreenLayer
{
public:
    // The parts of a gallery, by the slot the script's keywords fill.
    enum Slot : std::int32_t
    {
        Background = 0, // "bg"
        Frame = 1,      // "border"
        HoverFrame = 2, // "border2"
        Next = 3,
        NextHover = 4,
        Previous = 5,
        PreviousHover = 6,
        Cancel = 7,
        CancelHover = 8,
        SlotCount = 9,
    };

    Gallery();
    ~Gallery() override;
    Gallery(const Gallery&) = delete;
    Gallery& operator=(const Gallery&) = delete;

    // The base parts of Show and Hide (counter, unlocking, selection); the presentations add theirs.
    void Show() override;
    void Hide() override;
    // Lays the items out and pairs the buttons with their hover pictures; once.
    virtual void Build() = 0;
    [[nodiscard]] bool IsBuilt() const { return m_built; }
    // The mouse in game coordinates (kUnset: nowhere) and whether a click was accepted; Update passes the real
    // mouse. The items first, then the parts in slot order.
    virtual void TestMouse(float x, float y, bool clicked);
    // What the next and previous buttons do; the cancel button closes the screen.
    virtual void MoveForward() = 0;
    virtual void MoveBack() = 0;

    // An item: the picture file (a sprite of that name), the trigger that unlocks it ("sys_open": always open) and
    // the label drawn under it (a save's date).
    void AddItem(const std::u16string& file, const std::u16string& condition, const std::u16string& label);
    void Clear();
    [[nodiscard]] std::size_t GetItemCount() const { return m_pictures.size(); }
    [[nodiscard]] bool IsUnlocked(std::size_t item) const;
    // What the item shows now: its picture, or the locked picture while it is locked.
    [[nodiscard]] Resource* GetDisplayedPicture(std::size_t item) const;
    [[nodiscard]] const std::u16string& GetLabel(std::size_t item) const;
    [[nodiscard]] const std::u16string& GetPictureFile(std::size_t item) const;

    // The script's parts and settings.
    void SetElement(std::int32_t slot, std::unique_ptr<SceneNode> node);
    [[nodiscard]] SceneNode* GetElement(std::int32_t slot) const;
    void SetLockedPicture(const std::u16string& picture);
    void SetPreviewSize(float width, float height);
    void SetFrameOffset(float x, float y);
    void SetCounter(Textbox* box, Style* style);
    void SetLabelStyle(Style* style);
    void SetChoiceMenu(std::u16string name);
    void SetSaveLoadMode(bool saveLoad) { m_saveLoad = saveLoad; }
    void SetEmptyPicture(const std::u16string& picture, float x, float y);
    void SetNotice(std::unique_ptr<Poster> notice);
    [[nodiscard]] Poster* GetNotice() const { return m_notice.get(); }

    // In save/load mode: a save was picked and its choice menu is (to be) shown.
    [[nodiscard]] bool IsSelectionMade() const { return m_selectionMade; }
    // Drops the selection and closes the choice menu it opened.
    void Deselect();
    // The choice menu this gallery has open now; null when none.
    [[nodiscard]] Menu* GetOpenChoiceMenu() const { return m_openMenu; }

protected:
    // The item count changed (AddItem, Clear): the presentation lays its items out again.
    virtual void OnItemsChanged() {}
    // The page buttons are next, previous and their hover pictures; a gallery with nothing to turn leaves them out.
    enum class PageButtons
    {
        Tested,
        Skipped,
    };
    // The parts in slot order.
    void TestElements(float x, float y, bool clicked, PageButtons pageButtons);
    // The base part of Update: the real mouse through the left click gate into TestMouse.
    void UpdateMouse();
    // While a selection is made the choice menu takes the frame: opened once, then updated. True when it did.
    bool UpdateChoiceMenu(float dt);
    // Over the gallery, while it is open.
    void RenderChoiceMenu() const;
    // Next with next2, prev with prev2, cancel with cancel2; the hover pictures carry the actions.
    void PairButtons();
    // Save/load mode: the item's save becomes the selected save. Otherwise false: the caller opens the full view.
    bool SelectSave(std::size_t item);
    void SetCounterText(std::int32_t number);
    void ShowCounter(bool shown);
    void RenderCounter() const;
    void RenderElement(std::int32_t slot) const;
    // A part drawn at a position of the gallery's choosing (frames), whatever its visibility.
    void RenderElementAt(std::int32_t slot, float x, float y) const;
    // Fully opaque over the rectangle; nothing for an item out of range.
    void RenderItem(std::size_t item, float x1, float y1, float x2, float y2) const;
    // Centred under the item, in the label style's TrueType face or bitmap font.
    void RenderLabel(std::size_t item, float centreX, float top) const;
    void RenderTrueTypeLabel(std::size_t item, float centreX, float top) const;
    // Whether Escape or the right button went down this frame.
    [[nodiscard]] static bool LeaveKeyPressed();
    [[nodiscard]] static bool KeyPressed(int key);

    std::vector<Sprite*> m_displayed;
    std::vector<Sprite*> m_pictures;
    std::vector<std::int32_t> m_unlocked;
    std::vector<std::u16string> m_conditions;
    std::vector<std::u16string> m_labels;
    std::vector<std::string> m_codePageLabels; // the labels as a bitmap font draws them, made once each
    // A TrueType label style's layouts, by item, with the text and style each was laid out for; a drawing cache,
    // filled as labels are first drawn.
    struct LabelLayout
    {
        std::unique_ptr<TextLayout> layout;
        std::u16string text{};
        const Style* style = nullptr;
    };
    mutable std::vector<LabelLayout> m_labelLayouts;
    std::vector<std::u16string> m_files; // as the script named them
    std::array<std::unique_ptr<SceneNode>, SlotCount> m_elements;
    Sprite* m_lockedPicture = nullptr;
    float m_previewWidth = 0.0f;
    float m_previewHeight = 0.0f;
    float m_frameX = 0.0f;
    float m_frameY = 0.0f;
    Textbox* m_counter = nullptr;
    Style* m_counterStyle = nullptr;
    Style* m_labelStyle = nullptr;
    std::u16string m_choiceMenu;
    bool m_built = false;
    bool m_saveLoad = false;
    bool m_selectionMade = false;
    std::unique_ptr<Poster> m_notice;
    Sprite* m_emptyPicture = nullptr;
    float m_emptyX = 0.0f;
    float m_emptyY = 0.0f;

private:
    void RefreshUnlocked();
    void OpenChoiceMenu();
    void OnChoiceMenuClosed();
    void CloseChoiceMenu();
    void Close();

    Menu* m_openMenu = nullptr; // on the menu stack, opened by this gallery
    bool m_menuClosing = false;
};

} // namespace Vel
