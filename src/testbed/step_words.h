// Words of a step line. A word that starts with a double quote runs to the
// quote that closes it, blanks and "#" included, and a doubled quote inside
// stands for one ("say ""hi"""), so that any text without a line end can
// be written as one word. The simulated machine's runner and the one under
// Wine read a scenario with these, so both take every line the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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

// The step on a scenario line: its words split at blanks, the comment left
// out, and the free text after its first two words, blanks around it
// dropped. False for a line that holds no step.
bool SplitStepLine(const std::string& line, std::vector<std::string>* words, std::string* rest);

// A decimal or 0x-prefixed hexadecimal number word; false for anything else,
// a sign or a value past 64 bits included.
bool ParseNumber(const std::string& text, std::uint64_t* value);

// "name=value" words from `words[skip]` on, each name one of `allowed` and
// each value a number; false with the word when one is not.
bool ParseStepSettings(const std::vector<std::string>& words, std::size_t skip,
                       const std::vector<std::string>& allowed,
                       std::vector<std::pair<std::string, std::uint64_t>>* settings,
                       std::string* error);
