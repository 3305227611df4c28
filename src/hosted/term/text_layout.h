// Label and message texts cut to the cells the terminal gives them.
#pragma once

#include <string>
#include <vector>

namespace hosted::term {

// A label as Windows shows it: "&Close" underlines the C, which a plain
// terminal cannot, so the '&' goes; "&&" is a literal '&'.
std::string StripMnemonics(const std::string& text);

// The letter a label's '&' underlines, in lower case; 0 when none does.
char MnemonicOf(const std::string& text);
// Where that letter stands in StripMnemonics(text); npos when none.
std::size_t MnemonicAt(const std::string& text);

// A log entry as a narrow panel shows it: "MM/DD/YYYY hh:mm:ss-nnnn * text"
// becomes "hh:mm:ss text"; an entry of another form stays as it is. Line
// ends go.
std::string ShortLogEntry(const std::string& entry);

// Lines of at most `width` cells: a new line at each '\n', then between
// words, and inside a word too long for a line of its own.
std::vector<std::string> WrapText(const std::string& text, int width);

// The cell that a pixel coordinate falls in once moved `slack` pixels back
// (forward when negative).
int CellOf(long pixels, int cellPixels, int slack);

} // namespace hosted::term
