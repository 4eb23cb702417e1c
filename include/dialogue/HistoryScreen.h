#pragma once

// The history screen: the lines of the history log over the dimmed game, the newest at the bottom, each with its
// speaker's name above its text. It opens at the newest line; the wheel and Up and Down scroll it a line at a time,
// Page Up and Page Down a screenful; a click on a line with a voice plays that voice again; Escape, the right button
// or the wheel turned towards the player at the newest line close it. Without a "history" statement the panel is
// the whole game less a margin and each line keeps the styles it was shown in; the statement may give a picture
// under the lines, the panel's place and size, one style for every text and one for every name, and the space
// between lines. Start-up creates the one instance and hands it to the scenes manager as its history layer.

#include "core/VelSingleton.h"
#include "scene/HistoryLayer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Vel {

class HistoryLog;
class Resource;
class Style;
class TextLayout;
class hgeFont;
struct HistoryEntry;

class HistoryScreen : public Singleton<HistoryScreen>, public HistoryLayer
{
public:
    static constexpr float kMargin = 20.0f;
    static constexpr float kDefaultSpacing = 10.0f;
    // The game shows through the panel darkly, so the lines read over any picture.
    static constexpr std::uint32_t kDimColour = 0xC0000000;

    // How the screen looks; what the "history" statement leaves out keeps the default here.
    struct Look
    {
        std::u16string background{}; // a picture, drawn at the panel's top-left corner; empty for none
        float x = kMargin;           // the panel the lines are laid out in, in game pixels
        float y = kMargin;
        float width = 0.0f; // 0: the game's width less a margin on either side
        float height = 0.0f;
        Style* textStyle = nullptr; // null: each line in the style it was shown in
        Style* nameStyle = nullptr;
        float spacing = kDefaultSpacing; // pixels between two lines
    };

    // The log must outlive the screen.
    explicit HistoryScreen(const HistoryLog& log);
    ~HistoryScreen() override;

    void SetLook(Look look) { m_look = std::move(look); }
    [[nodiscard]] const Look& GetLook() const { return m_look; }

    void Open() override;
    [[nodiscard]] HistoryStep Update(float dt) override;
    void Render() override;

private:
    // A line on the screen now: which entry, where its top lies and how tall it is.
    struct Placed
    {
        std::size_t index = 0;
        float top = 0.0f;
        float height = 0.0f;
        float nameHeight = 0.0f;
    };
    struct Panel
    {
        float x = 0.0f;
        float y = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
    };

    [[nodiscard]] Panel GetPanel() const;
    // Places the lines upwards from m_newestShown until the panel is full.
    void Layout();
    [[nodiscard]] bool AtNewest() const { return m_newestShown + 1 >= LineCount(); }
    [[nodiscard]] std::size_t LineCount() const;
    void ScrollBack(std::size_t lines);
    void ScrollOn(std::size_t lines);
    [[nodiscard]] HistoryStep TakeWheelTowards(int notches);
    void PlayVoiceAt(float x, float y) const;
    [[nodiscard]] Style* NameStyle(const HistoryEntry& entry) const;
    [[nodiscard]] Style* TextStyle(const HistoryEntry& entry) const;
    [[nodiscard]] float NameHeight(const HistoryEntry& entry) const;
    [[nodiscard]] float TextHeight(const HistoryEntry& entry, float width) const;
    // Sets the entry's name and text into the layouts of the place on the screen where their styles draw TrueType;
    // the heights they take, bitmap or TrueType.
    void Measure(const HistoryEntry& entry, std::size_t slot, float width, Placed& placed);
    void DrawEntry(const HistoryEntry& entry, const Placed& placed, std::size_t slot, float x, float width);
    void DrawDim() const;

    const HistoryLog& m_log;
    Look m_look;
    Resource* m_background = nullptr; // looked up at each opening: the picture may be defined after the statement
    std::size_t m_newestShown = 0;    // the line at the bottom of the panel
    std::vector<Placed> m_placed;     // bottom line first; room for the whole log, so scrolling allocates nothing
    // The TrueType names and texts of the placed lines, by their place in m_placed; made as places are first used.
    std::vector<std::unique_ptr<TextLayout>> m_nameLayouts;
    std::vector<std::unique_ptr<TextLayout>> m_textLayouts;
};

} // namespace Vel
