// Words of a step line. A word that starts with a double quote runs to the
// quote that closes it, blanks and "#" included, and a doubled quote inside
// stands for one ("say ""hi"""), so that any text without a line end can
// be written as one word.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hosted {

struct StepWord {
    std::string text;               // quotes taken off, doubled ones made single
    std::size_t begin = 0, end = 0; // in the line, quotes included
    bool quoted = false;
};

// The words of `text`, split at blanks and tabs; false when a quote is not
// closed.
bool SplitStepWords(const std::string& text, std::vector<StepWord>* words);

// `text` as one quoted word.
std::string QuoteStepWord(const std::string& text);

// Where the comment of a scenario line starts: at a "#" that begins a word
// outside quotes; the line's size when it has none.
std::size_t CommentStart(const std::string& line);

} // namespace hosted
