#include "saves/Gallery.h"

#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "dialogue/Textbox.h"
#include "menus/Menu.h"
#include "menus/MenuManager.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "resources/Style.h"
#include "resources/TextLayout.h"
#include "resources/hgeFont.h"
#include "saves/GalleryManager.h"
#include "scene/ClickGate.h"
#include "scene/Poster.h"
#include "scene/RunFunctionAction.h"
#include "scene/SceneNode.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <utility>

namespace Vel {
namespace {

constexpr std::u16string_view kAlwaysOpen = u"sys_open";
// Labels of a style that names no colour are drawn in black, not in the white such a style gives text elsewhere:
// the save dates were black before styles could colour them.
constexpr std::uint32_t kLabelColour = 0xFF000000;

// The picture of that name; a name no "object" statement gave a file is taken as the file itself, so a gallery may
// name its pictures by file. Null without a resource manager.
Sprite* PictureNamed(const std::u16string& name)
{
    ResourceManager* resources = ResourceManager::GetSingletonPtr();
    if (resources == nullptr || name.empty())
        return nullptr;
    Sprite* sprite = resources->GetSprite(name);
    if (sprite->GetFile().empty())
        sprite->SetFile(name);
    return sprite;
}

// A whole decimal number, optionally signed; nothing for any other text.
std::optional<std::int32_t> ParseNumber(const std::u16string& text)
{
    std::string ascii;
    for (const char16_t unit : text) {
        if (unit > 0x7F)
            return std::nullopt;
        ascii.push_back(static_cast<char>(unit));
    }
    const char* begin = ascii.data();
    const char* end = begin + ascii.size();
    if (begin != end && *begin == '+')
        ++begin;
    std::int32_t value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || begin == end)
        return std::nullopt;
    return value;
}

// The save a thumbnail belongs to: the same path with ".sav" in place of the extension.
std::u16string SaveFileOf(const std::u16string& picture)
{
    const std::size_t dot = picture.rfind(u'.');
    const std::size_t folder = picture.find_last_of(u"/\\");
    const bool hasExtension = dot != std::u16string::npos && (folder == std::u16string::npos || dot > folder);
    return (hasExtension ? picture.substr(0, dot) : picture) + u".sav";
}

bool IsOnStack(const MenuManager& menus, const Menu* menu)
{
    const std::vector<Menu*>& stack = menus.GetStack();
    return std::find(stack.begin(), stack.end(), menu) != stack.end();
}

const std::u16string& NoText()
{
    static const std::u16string s_empty;
    return s_empty;
}

} // namespace

Gallery::Gallery() = default;

Gallery::~Gallery()
{
    // The open menu must not call back into a gallery that is gone.
    MenuManager* menus = MenuManager::GetSingletonPtr();
    if (m_openMenu != nullptr && menus != nullptr && IsOnStack(*menus, m_openMenu))
        static_cast<void>(m_openMenu->TakeClosedHandler());
}

void Gallery::Show()
{
    ShowCounter(true);
    RefreshUnlocked();
    Deselect();
}

void Gallery::Hide()
{
    ShowCounter(false);
    Deselect();
}

void Gallery::RefreshUnlocked()
{
    const TriggerManager* triggers = TriggerManager::GetSingletonPtr();
    for (std::size_t item = 0; item < m_pictures.size(); ++item) {
        if (m_conditions[item] == kAlwaysOpen) {
            m_unlocked[item] = 1;
        } else if (triggers != nullptr) {
            // An unset trigger or one that is no number leaves the item as it was: once unlocked in a run, it
            // stays so.
            if (const std::optional<std::int32_t> value = ParseNumber(triggers->Get(m_conditions[item])))
                m_unlocked[item] = *value;
        }
        m_displayed[item] = m_unlocked[item] != 0 ? m_pictures[item] : m_lockedPicture;
    }
}

void Gallery::AddItem(const std::u16string& file, const std::u16string& condition, const std::u16string& label)
{
    m_pictures.push_back(PictureNamed(file));
    m_displayed.push_back(m_lockedPicture);
    m_unlocked.push_back(0);
    m_conditions.push_back(condition);
    m_labels.push_back(label);
    m_codePageLabels.push_back(TextCodec::WideToCodePage(label));
    m_files.push_back(file);
    OnItemsChanged();
}

void Gallery::Clear()
{
    m_pictures.clear();
    m_displayed.clear();
    m_unlocked.clear();
    m_conditions.clear();
    m_labels.clear();
    m_codePageLabels.clear();
    m_files.clear();
    OnItemsChanged();
}

bool Gallery::IsUnlocked(std::size_t item) const
{
    return item < m_unlocked.size() && m_unlocked[item] != 0;
}

Resource* Gallery::GetDisplayedPicture(std::size_t item) const
{
    return item < m_displayed.size() ? m_displayed[item] : nullptr;
}

const std::u16string& Gallery::GetLabel(std::size_t item) const
{
    return item < m_labels.size() ? m_labels[item] : NoText();
}

const std::u16string& Gallery::GetPictureFile(std::size_t item) const
{
    return item < m_files.size() ? m_files[item] : NoText();
}

void Gallery::SetElement(std::int32_t slot, std::unique_ptr<SceneNode> node)
{
    if (slot >= 0 && slot < SlotCount)
        m_elements[static_cast<std::size_t>(slot)] = std::move(node);
}

SceneNode* Gallery::GetElement(std::int32_t slot) const
{
    return slot >= 0 && slot < SlotCount ? m_elements[static_cast<std::size_t>(slot)].get() : nullptr;
}

void Gallery::SetLockedPicture(const std::u16string& picture)
{
    m_lockedPicture = PictureNamed(picture);
    for (std::size_t item = 0; item < m_displayed.size(); ++item) {
        if (m_unlocked[item] == 0)
            m_displayed[item] = m_lockedPicture;
    }
}

void Gallery::SetPreviewSize(float width, float height)
{
    m_previewWidth = width;
    m_previewHeight = height;
    OnItemsChanged();
}

void Gallery::SetFrameOffset(float x, float y)
{
    m_frameX = x;
    m_frameY = y;
}

void Gallery::SetCounter(Textbox* box, Style* style)
{
    m_counter = box;
    m_counterStyle = style;
}

void Gallery::SetLabelStyle(Style* style)
{
    m_labelStyle = style;
}

void Gallery::SetChoiceMenu(std::u16string name)
{
    m_choiceMenu = std::move(name);
}

void Gallery::SetEmptyPicture(const std::u16string& picture, float x, float y)
{
    m_emptyPicture = PictureNamed(picture);
    m_emptyX = x;
    m_emptyY = y;
}

void Gallery::SetNotice(std::unique_ptr<Poster> notice)
{
    m_notice = std::move(notice);
}

void Gallery::Deselect()
{
    m_selectionMade = false;
    CloseChoiceMenu();
}

void Gallery::TestMouse(float x, float y, bool clicked)
{
    TestElements(x, y, clicked, PageButtons::Tested);
}

void Gallery::TestElements(float x, float y, bool clicked, PageButtons pageButtons)
{
    for (std::int32_t slot = 0; slot < SlotCount; ++slot) {
        SceneNode* element = GetElement(slot);
        const bool pageButton = slot >= Next && slot <= PreviousHover;
        if (element != nullptr && (pageButtons == PageButtons::Tested || !pageButton))
            element->TestMouse(x, y, clicked);
    }
}

void Gallery::UpdateMouse()
{
    float x = kUnset;
    float y = kUnset;
    bool clicked = false;
    if (HGE* hge = HgeManager::Interface()) {
        clicked = ClickGate::Left().Accept(hge->Input_GetKeyState(HGEK_LBUTTON));
        if (hge->Input_IsMouseOver()) {
            hge->Input_GetMousePos(&x, &y);
            ScreenToGame(x, y);
        }
    }
    TestMouse(x, y, clicked);
}

bool Gallery::UpdateChoiceMenu(float dt)
{
    MenuManager* menus = MenuManager::GetSingletonPtr();
    // A menu closed without telling us (shown again by someone else, who took its closed handler) ends the
    // selection too, or the screen would wait for it for ever.
    if (m_openMenu != nullptr && (menus == nullptr || !IsOnStack(*menus, m_openMenu)))
        OnChoiceMenuClosed();
    if (m_openMenu == nullptr) {
        if (!m_selectionMade || menus == nullptr || menus->FindMenu(m_choiceMenu) == nullptr)
            return false;
        OpenChoiceMenu();
        return true;
    }
    // The top menu: normally the choice menu, else whatever was opened over it, which must be usable to get back.
    menus->Update(dt);
    return true;
}

void Gallery::OpenChoiceMenu()
{
    MenuManager& menus = MenuManager::GetSingleton();
    // Set first: the menu's on list may close it at once, which calls the handler.
    m_openMenu = menus.FindMenu(m_choiceMenu);
    m_menuClosing = false;
    menus.ShowMenu(m_choiceMenu, Callback<void()>(this, &Gallery::OnChoiceMenuClosed));
}

void Gallery::OnChoiceMenuClosed()
{
    m_openMenu = nullptr;
    m_menuClosing = false;
    m_selectionMade = false;
}

void Gallery::CloseChoiceMenu()
{
    if (m_openMenu == nullptr || m_menuClosing)
        return;
    MenuManager* menus = MenuManager::GetSingletonPtr();
    if (menus == nullptr || !IsOnStack(*menus, m_openMenu)) {
        OnChoiceMenuClosed();
        return;
    }
    // The menu's off list may take a while; until it closes it keeps the frame, and it must not be hidden twice.
    m_menuClosing = true;
    if (menus->GetStack().back() == m_openMenu)
        menus->Back();
    else
        menus->CloseAll();
}

void Gallery::RenderChoiceMenu() const
{
    MenuManager* menus = MenuManager::GetSingletonPtr();
    if (m_openMenu != nullptr && menus != nullptr)
        menus->RenderTop();
}

void Gallery::PairButtons()
{
    const auto pair = [this](Slot plainSlot, Slot hoverSlot, Callback<void()> function) {
        SceneNode* plain = GetElement(plainSlot);
        SceneNode* hover = GetElement(hoverSlot);
        auto action = std::make_shared<RunFunctionAction>(std::move(function));
        // A button the script gave no hover picture (or only one) still works on its own.
        if (hover == nullptr || plain == nullptr) {
            if (SceneNode* only = hover != nullptr ? hover : plain)
                only->SetAction(action);
            return;
        }
        plain->Show();
        hover->Hide();
        hover->SetAction(action);
        plain->SetHoverTarget(hover);
        hover->SetLeaveTarget(plain);
    };
    pair(Next, NextHover, Callback<void()>(this, &Gallery::MoveForward));
    pair(Previous, PreviousHover, Callback<void()>(this, &Gallery::MoveBack));
    pair(Cancel, CancelHover, Callback<void()>(this, &Gallery::Close));
}

void Gallery::Close()
{
    ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    if (scenes == nullptr)
        return;
    if (m_saveLoad)
        scenes->HideSaveLoad();
    else
        scenes->HideGallery();
}

bool Gallery::SelectSave(std::size_t item)
{
    if (!m_saveLoad)
        return false;
    if (GalleryManager* galleries = GalleryManager::GetSingletonPtr())
        galleries->SetSelectedSave(SaveFileOf(GetPictureFile(item)));
    m_selectionMade = true;
    return true;
}

void Gallery::SetCounterText(std::int32_t number)
{
    if (m_counter == nullptr)
        return;
    // Setting a text shows the box; a hidden gallery's counter must stay hidden.
    const bool visible = m_counter->IsVisible();
    m_counter->SetText(TextCodec::Utf8ToWide(std::to_string(number)), m_counterStyle, 0.0f, nullptr,
                       Textbox::TypingClick::Ignored, Textbox::ReadClick::Ignored);
    if (!visible)
        m_counter->Hide();
}

void Gallery::ShowCounter(bool shown)
{
    if (m_counter == nullptr || m_counter->IsVisible() == shown)
        return;
    if (shown)
        m_counter->Show();
    else
        m_counter->Hide();
}

void Gallery::RenderCounter() const
{
    if (m_counter != nullptr)
        m_counter->Render();
}

void Gallery::RenderElement(std::int32_t slot) const
{
    if (SceneNode* element = GetElement(slot))
        element->Render(SceneNode::Hidden::Skip);
}

void Gallery::RenderElementAt(std::int32_t slot, float x, float y) const
{
    SceneNode* element = GetElement(slot);
    if (element == nullptr)
        return;
    element->SetDrawPosition(x, y);
    element->Render(SceneNode::Hidden::Draw);
}

void Gallery::RenderItem(std::size_t item, float x1, float y1, float x2, float y2) const
{
    if (item < m_displayed.size() && m_displayed[item] != nullptr)
        m_displayed[item]->RenderStretched(x1, y1, x2, y2);
}

void Gallery::RenderLabel(std::size_t item, float centreX, float top) const
{
    if (m_labelStyle != nullptr && m_labelStyle->DrawsTrueType()) {
        RenderTrueTypeLabel(item, centreX, top);
        return;
    }
    hgeFont* font = m_labelStyle != nullptr ? m_labelStyle->GetBitmapFont() : nullptr;
    if (font == nullptr || item >= m_labels.size() || m_labels[item].empty())
        return;
    // The style's font is shared with the text boxes: its colour is put back.
    const std::uint32_t colour = font->GetColor();
    font->SetColor(m_labelStyle->HasColour() ? m_labelStyle->GetArgb() : kLabelColour);
    font->Render(centreX, top, HGETEXT_CENTER, m_codePageLabels[item]);
    font->SetColor(colour);
}

// Laid out again only when the label or its style changed, so a label drawn frame after frame allocates nothing.
void Gallery::RenderTrueTypeLabel(std::size_t item, float centreX, float top) const
{
    if (item >= m_labels.size() || m_labels[item].empty())
        return;
    if (m_labelLayouts.size() < m_labels.size())
        m_labelLayouts.resize(m_labels.size());
    LabelLayout& label = m_labelLayouts[item];
    if (!label.layout)
        label.layout = std::make_unique<TextLayout>();
    if (label.text != m_labels[item] || label.style != m_labelStyle) {
        label.text = m_labels[item];
        label.style = m_labelStyle;
        label.layout->Set(label.text, *m_labelStyle);
        const float unbounded = std::numeric_limits<float>::max();
        label.layout->Arrange(label.layout->GetGraphemes(), unbounded, unbounded);
    }
    label.layout->Draw(centreX - label.layout->GetEndX() * 0.5f, top,
                       m_labelStyle->HasColour() ? m_labelStyle->GetArgb() : kLabelColour);
}

bool Gallery::KeyPressed(int key)
{
    HGE* hge = HgeManager::Interface();
    return hge != nullptr && hge->Input_KeyDown(key);
}

bool Gallery::LeaveKeyPressed()
{
    return KeyPressed(HGEK_ESCAPE) || KeyPressed(HGEK_RBUTTON);
}

} // namespace Vel
