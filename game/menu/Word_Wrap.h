#pragma once
// The word wrap the text items and the edit field share: the text is cut into pieces of up to a
// piece length of characters, stopping before a blank or newline (which then joins the piece),
// and pieces are added to a line while it fits the width in the font.
#include <string>
#include <vector>

struct Wrap_Result {
  std::vector<std::string> lines;
  bool all_placed = true;  // every character found a line
};

// keep_newlines keeps a newline that ends a line; otherwise it becomes a blank.
Wrap_Result Wrap_Text(int font, const std::string& text, int width_limit, int max_lines, int piece_length,
                      bool keep_newlines);
