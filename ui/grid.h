// "SimpleGridCtl": a scrollable table of text cells for coefficients. Row 0 is the title row
// (its cells are the column titles) and column 0 the heading column (its cells are the row
// titles); data cells count from 1 in both directions. Every operation answers -1 for a row or
// column outside the table and changes nothing then.
//
// Keys: the arrows move the current cell, Page Up and Page Down by a page of visible rows, Home
// and End to the first and last column (with Ctrl to the first and last cell); with Shift they,
// like a mouse drag or a Shift click, select the block of cells from the anchor on. Ctrl+A selects
// every visible data cell. Typing on an editable cell opens the in-place editor with that
// character; F2 and a double click open it with the cell's text. In the editor Enter writes the
// text, Escape drops it, Tab goes on to the next control of the window, Up, Down, Page Up, Page
// Down (and Left or Right at the ends of the text) write it and move on, and losing the focus
// writes it.
//
// Blocks: Ctrl+C copies the selection as text (cells separated by tabs, rows by line ends),
// Ctrl+X cuts it, Delete empties it, Ctrl+V pastes a block with its top-left corner at the
// selection's top-left cell (the current cell when one cell is selected). A pasted text is split
// by grid_text.h: by tabs, else by ";", else by runs of spaces. Cells beyond the visible columns
// or rows and read-only cells are left out and counted; the page collects the count with
// grid_take_left_out when the grid reports kNotifyEditChange. Ctrl+Z undoes an edit, a paste, a
// cut or a Delete as one step, Ctrl+Y redoes it; changes made by the page clear that history.
//
// Screen readers see a table whose header cells are the column and row titles; the current cell
// is announced whenever it changes.
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

// Blocks of cells. Selects the data cells between two corners; the first corner becomes current.
int grid_select(Wnd grid, int top, int left, int bottom, int right);
// The selected block (columns are column indexes); -1 when there is no data cell.
int grid_selection(Wnd grid, int* top, int* left, int* bottom, int* right);
// The selection as the clipboard gets it; returns its length.
int grid_selection_text(Wnd grid, std::u16string* out);
int grid_copy(Wnd grid);
int grid_cut(Wnd grid);
int grid_paste(Wnd grid);
// Pastes `text` as Ctrl+V pastes the clipboard; returns the number of cells left out.
int grid_paste_text(Wnd grid, std::u16string_view text);
int grid_clear_selection(Wnd grid);  // Delete
bool grid_undo(Wnd grid);
bool grid_redo(Wnd grid);
// Cells that pastes left out (outside the grid or read-only) since the last call; resets it.
int grid_take_left_out(Wnd grid);
// The name screen readers give the table (its label on the page).
int grid_set_accessible_name(Wnd grid, std::u16string_view name);
