// "SimpleGridCtl": a scrollable table of text cells for coefficients. Row 0 is the title row
// (its cells are the column titles) and column 0 the heading column (its cells are the row
// titles); data cells count from 1 in both directions. Every operation answers -1 for a row or
// column outside the table and changes nothing then.
//
// Keys: the arrows move the current cell, Page Up and Page Down by a page of visible rows;
// typing on an editable cell opens the in-place editor with that character. In the editor Enter
// writes the text, Escape drops it, Tab goes on to the next control of the window, Up, Down,
// Page Up, Page Down (and Left or Right at the ends of the text) write it and move on, and
// losing the focus writes it.
#pragma once

#include <string>
#include <string_view>

#include "ui/toolkit.h"

Wnd ui_create_grid(Wnd parent, int id, int x, int y, int w, int h, unsigned style = 0);

// Columns: the new column's index (from 1).
int grid_add_column(Wnd grid, std::u16string_view title);
int grid_set_column_title(Wnd grid, int column, std::u16string_view title);
// Copies the title into `out` and returns its length.
int grid_column_title(Wnd grid, int column, std::u16string* out);
int grid_column_title_length(Wnd grid, int column);
int grid_column_count(Wnd grid);  // without the heading column
int grid_show_column(Wnd grid, int column, bool show);
int grid_set_column_width(Wnd grid, int column, int width);  // layout units

// Rows: the new row's index (from 1).
int grid_add_row(Wnd grid, std::u16string_view title = {});
int grid_insert_row(Wnd grid, int row, std::u16string_view title = {});  // before `row`
int grid_delete_row(Wnd grid, int row);
int grid_row_count(Wnd grid);  // without the title row
int grid_delete_all_rows(Wnd grid);
int grid_row_title(Wnd grid, int row, std::u16string* out);
int grid_row_title_length(Wnd grid, int row);

// Cells, row 0 and column 0 included. Reading returns the text's length.
int grid_cell_text(Wnd grid, int row, int column, std::u16string* out);
int grid_cell_text_length(Wnd grid, int row, int column);
int grid_set_cell_text(Wnd grid, int row, int column, std::u16string_view text);
int grid_set_cell_read_only(Wnd grid, int row, int column, bool read_only);

// The current cell (data cells only).
int grid_set_current(Wnd grid, int row, int column);
int grid_current_row(Wnd grid);     // 0 when the table has no data cell
int grid_current_column(Wnd grid);  // 0 when the table has no data cell

int grid_set_font(Wnd grid, const UiFont& font);
int grid_set_editable(Wnd grid, bool editable);
int grid_show_title_row(Wnd grid, bool show);
int grid_redraw(Wnd grid);
// True while the in-place editor is open.
bool grid_editing(Wnd grid);
