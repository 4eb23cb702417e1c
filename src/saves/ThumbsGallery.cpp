#include "saves/ThumbsGallery.h"

#include "core/DisplaySettings.h"
#include "platform/FrameActivity.h"
#include "resources/Sprite.h"

#include <algorithm>
#include <limits>

namespace Vel {

void ThumbsGallery::SetBoard(float x1, float y1, float x2, float y2)
{
    m_boardX1 = x1;
    m_boardY1 = y1;
    m_boardX2 = x2;
    m_boardY2 = y2;
    Layout();
}

void ThumbsGallery::SetRows(std::int32_t rows)
{
    m_rows = std::max(rows, 0);
    Layout();
}

void ThumbsGallery::SetColumns(std::int32_t columns)
{
    m_columns = std::max(columns, 0);
    Layout();
}

void ThumbsGallery::Layout()
{
    const std::int64_t perPage = static_cast<std::int64_t>(m_rows) * m_columns;
    m_perPage = static_cast<std::int32_t>(std::min<std::int64_t>(perPage, std::numeric_limits<std::int32_t>::max()));
    const std::int64_t count = static_cast<std::int64_t>(GetItemCount());
    m_pageCount = m_perPage > 0 ? static_cast<std::int32_t>((count + m_perPage - 1) / m_perPage) : 0;
    m_page = std::clamp(m_page, 0, std::max(m_pageCount - 1, 0));
    if (m_viewed >= GetItemCount()) {
        m_viewed = 0;
        m_fullView = false;
    }
    m_cells.assign(GetItemCount(), Cell{});
    if (m_perPage == 0)
        return;
    const float cellWidth = (m_boardX2 - m_boardX1) / static_cast<float>(m_columns);
    const float cellHeight = (m_boardY2 - m_boardY1) / static_cast<float>(m_rows);
    // Every picture is centred in its cell, and every page uses the same cells.
    for (std::size_t item = 0; item < m_cells.size(); ++item) {
        const std::int64_t onPage = static_cast<std::int64_t>(item % static_cast<std::size_t>(m_perPage));
        const auto row = static_cast<float>(onPage / m_columns);
        const auto column = static_cast<float>(onPage % m_columns);
        Cell& cell = m_cells[item];
        cell.x1 = m_boardX1 + column * cellWidth + (cellWidth - m_previewWidth) * 0.5f;
        cell.y1 = m_boardY1 + row * cellHeight + (cellHeight - m_previewHeight) * 0.5f;
        cell.x2 = cell.x1 + m_previewWidth;
        cell.y2 = cell.y1 + m_previewHeight;
    }
}

void ThumbsGallery::Build()
{
    Layout();
    PairButtons();
    m_built = true;
}

std::size_t ThumbsGallery::PageBegin() const
{
    return std::min(static_cast<std::size_t>(m_page) * static_cast<std::size_t>(m_perPage), m_cells.size());
}

std::size_t ThumbsGallery::PageEnd() const
{
    return std::min(PageBegin() + static_cast<std::size_t>(m_perPage), m_cells.size());
}

void ThumbsGallery::Show()
{
    Gallery::Show();
    m_fullView = false;
    m_viewed = 0;
    Layout();
    SetCounterText(m_page + 1);
}

void ThumbsGallery::Hide()
{
    Gallery::Hide();
    m_fullView = false;
    m_viewed = 0;
}

void ThumbsGallery::MoveForward()
{
    if (m_pageCount == 0)
        return;
    m_page = (m_page + 1) % m_pageCount;
    SetCounterText(m_page + 1);
}

void ThumbsGallery::MoveBack()
{
    if (m_pageCount == 0)
        return;
    m_page = (m_page + m_pageCount - 1) % m_pageCount;
    SetCounterText(m_page + 1);
}

void ThumbsGallery::Update(float dt)
{
    if (m_fullView) {
        UpdateFullView();
        return;
    }
    if (UpdateChoiceMenu(dt))
        return;
    UpdateMouse();
}

void ThumbsGallery::UpdateFullView()
{
    if (m_saveLoad || !LeaveKeyPressed())
        return;
    m_fullView = false;
    m_viewed = 0;
}

void ThumbsGallery::TestMouse(float x, float y, bool clicked)
{
    bool used = false;
    // Only a frame that lights up or goes out is drawn; a mouse resting on a cell draws nothing.
    for (std::size_t item = 0; item < m_cells.size(); ++item) {
        Cell& cell = m_cells[item];
        const bool hover = item >= PageBegin() && item < PageEnd() && x >= cell.x1 && x < cell.x2 && y >= cell.y1 &&
                           y < cell.y2;
        if (hover != cell.hover)
            FrameActivity::Changed();
        cell.hover = hover;
    }
    for (std::size_t item = PageBegin(); item < PageEnd(); ++item) {
        Cell& cell = m_cells[item];
        if (!cell.hover || !clicked || used || !IsUnlocked(item))
            continue;
        used = true;
        if (!SelectSave(item)) {
            m_fullView = true;
            m_viewed = item;
        }
    }
    // The click that picked a thumbnail is spent; page buttons that are not drawn take no clicks.
    TestElements(x, y, clicked && !used, m_pageCount >= 2 ? PageButtons::Tested : PageButtons::Skipped);
}

void ThumbsGallery::Render()
{
    if (m_fullView) {
        const DisplaySettings& display = TheDisplaySettings();
        RenderItem(m_viewed, 0.0f, 0.0f, static_cast<float>(display.gameWidth), static_cast<float>(display.gameHeight));
        return;
    }
    RenderElement(Background);
    const bool turning = m_pageCount >= 2;
    for (std::int32_t slot = turning ? Next : Cancel; slot < SlotCount; ++slot)
        RenderElement(slot);
    if (turning)
        RenderCounter();
    if (GetItemCount() == 0) {
        if (m_emptyPicture != nullptr)
            m_emptyPicture->Render(m_emptyX, m_emptyY, 1.0f, 1.0f);
    } else {
        RenderCells();
    }
    RenderChoiceMenu();
}

void ThumbsGallery::RenderCells() const
{
    for (std::size_t item = PageBegin(); item < PageEnd(); ++item)
        RenderCell(item);
}

void ThumbsGallery::RenderCell(std::size_t item) const
{
    const Cell& cell = m_cells[item];
    const bool lit = cell.hover && IsUnlocked(item);
    RenderElementAt(lit ? HoverFrame : Frame, cell.x1 + m_frameX, cell.y1 + m_frameY);
    RenderItem(item, cell.x1, cell.y1, cell.x2, cell.y2);
    RenderLabel(item, (cell.x1 + cell.x2) * 0.5f, cell.y2);
}

} // namespace Vel
