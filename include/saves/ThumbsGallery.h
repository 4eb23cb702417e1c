#pragma once

#include "saves/Gallery.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Vel {

// Pages of thumbnails in a grid of rows and columns on a board rectangle; every page puts its items in the same
// cells. A click on a thumbnail shows it on the whole screen, or, on a save/load screen, picks its save and opens
// the choice menu; next and previous turn the pages round.
class ThumbsGallery : public Gallery
{
public:
    // Where an item is drawn on its page, and whether the mouse is over it.
    struct Cell
    {
        float x1 = 0.0f;
        float y1 = 0.0f;
        float x2 = 0.0f;
        float y2 = 0.0f;
        bool hover = false;
    };

    void Show() override;
    void Hide() override;
    void Update(float dt) override;
    void Render() override;
    void Build() override;
    void TestMouse(float x, float y, bool clicked) override;
    // The next page, the first after the last; nothing without pages.
    void MoveForward() override;
    // The previous page, the last before the first.
    void MoveBack() override;

    // The board's corners, in game coordinates.
    void SetBoard(float x1, float y1, float x2, float y2);
    // Negative counts are taken as 0: a board without rows or columns shows no thumbnails.
    void SetRows(std::int32_t rows);
    void SetColumns(std::int32_t columns);

    [[nodiscard]] std::int32_t GetRows() const { return m_rows; }
    [[nodiscard]] std::int32_t GetColumns() const { return m_columns; }
    [[nodiscard]] std::int32_t GetItemsPerPage() const { return m_perPage; }
    [[nodiscard]] std::int32_t GetPageCount() const { return m_pageCount; }
    // 0-based.
    [[nodiscard]] std::int32_t GetPage() const { return m_page; }
    // One per item; an item's cell is the same on every page.
    [[nodiscard]] const std::vector<Cell>& GetCells() const { return m_cells; }
    [[nodiscard]] bool IsFullView() const { return m_fullView; }
    [[nodiscard]] std::size_t GetViewedItem() const { return m_viewed; }

protected:
    void OnItemsChanged() override { Layout(); }

private:
    void Layout();
    // The items of the current page: [first, end).
    [[nodiscard]] std::size_t PageBegin() const;
    [[nodiscard]] std::size_t PageEnd() const;
    void UpdateFullView();
    void RenderCells() const;
    void RenderCell(std::size_t item) const;

    std::int32_t m_rows = 0;
    std::int32_t m_columns = 0;
    float m_boardX1 = 0.0f;
    float m_boardY1 = 0.0f;
    float m_boardX2 = 0.0f;
    float m_boardY2 = 0.0f;
    std::int32_t m_perPage = 0;
    std::int32_t m_page = 0;
    std::int32_t m_pageCount = 0;
    bool m_fullView = false;
    std::size_t m_viewed = 0;
    std::vector<Cell> m_cells;
};

} // namespace Vel
