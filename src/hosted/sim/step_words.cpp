#include "sim/step_words.h"

#include <algorithm>
#include <cctype>

namespace hosted {
namespace {

bool Blank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The closing quote of the word opened at `open`; npos when there is none.
std::size_t ClosingQuote(const std::string& text, std::size_t open, std::string* inside) {
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] != '"') {
            *inside += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            *inside += '"';
            ++i;
        } else {
            return i;
        }
    }
    return std::string::npos;
}

} // namespace

bool SplitStepWords(const std::string& text, std::vector<StepWord>* words) {
    std::size_t i = 0;
    while ((i = text.find_first_not_of(" \t", i)) != std::string::npos) {
        StepWord word;
        word.begin = i;
        word.quoted = text[i] == '"';
        if (word.quoted) {
            std::size_t close = ClosingQuote(text, i, &word.text);
            if (close == std::string::npos)
                return false;
            i = close + 1;
        } else {
            i = std::min(text.find_first_of(" \t", i), text.size());
            word.text = text.substr(word.begin, i - word.begin);
        }
        word.end = i;
        words->push_back(word);
    }
    return true;
}

std::string QuoteStepWord(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Blanks as the words are split on, so that no word starts a comment that
// the line does not; a quote that never closes quotes nothing.
std::size_t CommentStart(const std::string& line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (i > 0 && !Blank(line[i - 1]))
            continue;
        if (line[i] == '#')
            return i;
        std::string inside;
        std::size_t close = line[i] == '"' ? ClosingQuote(line, i, &inside) : std::string::npos;
        if (close != std::string::npos)
            i = close;
    }
    return line.size();
}

} // namespace hosted
