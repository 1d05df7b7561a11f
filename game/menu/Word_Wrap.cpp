#include "game/menu/Word_Wrap.h"

#include "game/menu/CMenu_Mgr.h"

namespace {

bool Is_Break(char c) { return c == ' ' || c == '\n'; }

struct Piece {
  std::string text;
  size_t end = 0;
  bool ends_line = false;
};

Piece Take_Piece(const std::string& text, size_t start, int piece_length, bool keep_newlines) {
  Piece piece;
  size_t end = start;
  while (end < text.size() && end - start < static_cast<size_t>(piece_length) && !Is_Break(text[end])) ++end;
  piece.text = text.substr(start, end - start);
  if (end < text.size() && Is_Break(text[end])) {
    piece.ends_line = text[end] == '\n';
    piece.text.push_back(piece.ends_line && !keep_newlines ? ' ' : text[end]);
    ++end;
  }
  piece.end = end;
  return piece;
}

bool Fits(int font, const std::string& text, int width_limit) {
  return g_Menu_Mgr.Get_Text_Fit(font, text.c_str(), width_limit) >= static_cast<int>(text.size());
}

}  // namespace

Wrap_Result Wrap_Text(int font, const std::string& text, int width_limit, int max_lines, int piece_length,
                      bool keep_newlines) {
  Wrap_Result result;
  size_t position = 0;
  while (position < text.size() && static_cast<int>(result.lines.size()) < max_lines) {
    std::string line;
    for (;;) {
      const Piece piece = Take_Piece(text, position, piece_length, keep_newlines);
      if (!Fits(font, line + piece.text, width_limit)) break;
      line += piece.text;
      position = piece.end;
      if (piece.ends_line || position >= text.size()) break;
    }
    result.lines.push_back(line);
  }
  result.all_placed = position >= text.size();
  return result;
}
