#include "testbed/step_words.h"

#include <algorithm>
#include <cctype>
#include <sstream>

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

bool SplitStepLine(const std::string& line, std::vector<std::string>* words, std::string* rest) {
    const std::string step = line.substr(0, CommentStart(line));
    std::istringstream split(step);
    std::string word;
    while (split >> word)
        words->push_back(word);
    if (words->empty())
        return false;
    if (words->size() > 1) {
        std::size_t first = step.find((*words)[0]) + (*words)[0].size();
        std::size_t second = step.find((*words)[1], first) + (*words)[1].size();
        std::size_t begin = step.find_first_not_of(" \t", second);
        std::size_t end = step.find_last_not_of(" \t\r");
        if (begin != std::string::npos && end != std::string::npos && end >= begin)
            *rest = step.substr(begin, end - begin + 1);
    }
    return true;
}

bool ParseNumber(const std::string& text, std::uint64_t* value) {
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    std::size_t start = hex ? 2 : 0;
    if (text.size() <= start)
        return false;
    std::uint64_t result = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        std::uint64_t next = result * (hex ? 16 : 10) + digit;
        if (next / (hex ? 16 : 10) != result)
            return false;
        result = next;
    }
    *value = result;
    return true;
}

bool ParseStepSettings(const std::vector<std::string>& words, std::size_t skip,
                       const std::vector<std::string>& allowed,
                       std::vector<std::pair<std::string, std::uint64_t>>* settings,
                       std::string* error) {
    for (std::size_t i = skip; i < words.size(); ++i) {
        const std::string& word = words[i];
        std::size_t equals = word.find('=');
        std::string name = word.substr(0, equals);
        bool known = std::find(allowed.begin(), allowed.end(), name) != allowed.end();
        std::uint64_t value = 0;
        if (equals == std::string::npos || !known ||
            !ParseNumber(word.substr(equals + 1), &value)) {
            *error = "unexpected '" + word + "'";
            return false;
        }
        settings->emplace_back(name, value);
    }
    return true;
}
