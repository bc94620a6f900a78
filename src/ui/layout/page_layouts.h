#pragma once

#include <vector>

// Where each control of a page stands: the page's picture on the left, and on
// the right one row per line, top to bottom in the design's order.
namespace regwiz::ui {

// How wide a control is drawn in its row.
inline constexpr int kFill = 0;     // takes the row's width
inline constexpr int kNatural = -1; // its own preferred width

struct Cell {
    const char* name;
    int width = kFill; // kFill, kNatural or pixels
};

// A row is either one control across the whole width (`label` null), or a
// label in the left column with the fields beside it ("" for no label).
struct Row {
    const char* label = nullptr;
    std::vector<Cell> fields;
    bool grows = false; // takes the height the other rows leave
};

struct PageLayout {
    const char* picture = nullptr;
    std::vector<Row> rows;
};

// The layout of page `page`; empty for a page it does not know.
const PageLayout& LayoutOfPage(int page);

} // namespace regwiz::ui
