#pragma once
// A small built-in bitmap font for generated textures: digits, capital letters (small letters
// draw as capitals, except "x", which has its own glyph) and a few signs, each 5 x 7 cells.
namespace writers {

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;

// True when the cell (column 0-4 from the left, row 0-6 from the top) of the character's glyph
// is set. Characters without a glyph draw as blanks.
bool GlyphCell(char character, int column, int row);

// True when the character has a glyph of its own (or as a capital).
bool HasGlyph(char character);

}  // namespace writers
