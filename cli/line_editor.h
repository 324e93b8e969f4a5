// The line editor of interactive use: prompt, editing keys, history and Tab completion.
#pragma once

#include <string>
#include <vector>

enum class ReadStatus { Line, Interrupted, End };

// `history` fills the list the up arrow walks, oldest first.
void line_editor_open(const std::vector<std::string>& history);
void line_editor_close();
// The names Tab completes; replaced whenever the variables change.
void line_editor_set_names(std::vector<std::string> names);
void line_editor_add_history(const std::string& line);
// Interrupted: Ctrl+C while the line was edited (`interrupted` tells the line editor's
// caller; the line is dropped). End: Ctrl+D on an empty line, or the end of input.
ReadStatus line_editor_read(const char* prompt, std::string& line, bool (*interrupted)());
