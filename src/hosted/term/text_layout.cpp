// Label and message texts cut to the cells the terminal gives them.
#include "term/text_layout.h"

#include <cctype>

namespace hosted::term {

std::string StripMnemonics(const std::string& text) {
    std::string label;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        else if (text[i] == '&')
            continue;
        label += text[i];
    }
    return label;
}

std::size_t MnemonicAt(const std::string& text) {
    std::size_t at = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i, ++at) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return at;
        ++i;
    }
    return std::string::npos;
}

char MnemonicOf(const std::string& text) {
    std::size_t at = MnemonicAt(text);
    if (at == std::string::npos)
        return 0;
    return static_cast<char>(std::tolower(static_cast<unsigned char>(StripMnemonics(text)[at])));
}

std::string ShortLogEntry(const std::string& entry) {
    std::string text = entry;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    std::size_t mark = text.find(" * ");
    bool stamped = mark == 24 && text[2] == '/' && text[5] == '/' && text[10] == ' ' &&
                   text[13] == ':' && text[19] == '-';
    return stamped ? text.substr(11, 8) + " " + text.substr(mark + 3) : text;
}

namespace {

void WrapParagraph(const std::string& paragraph, std::size_t width,
                   std::vector<std::string>* lines) {
    std::string line;
    std::size_t at = 0;
    while (at < paragraph.size()) {
        if (paragraph[at] == ' ') {
            ++at;
            continue;
        }
        std::size_t end = paragraph.find(' ', at);
        std::string word = paragraph.substr(at, end == std::string::npos ? end : end - at);
        at = end == std::string::npos ? paragraph.size() : end;
        if (!line.empty() && line.size() + 1 + word.size() <= width) {
            line += ' ' + word;
            continue;
        }
        if (!line.empty())
            lines->push_back(line);
        while (word.size() > width) {
            lines->push_back(word.substr(0, width));
            word.erase(0, width);
        }
        line = word;
    }
    lines->push_back(line);
}

} // namespace

std::vector<std::string> WrapText(const std::string& text, int width) {
    std::size_t cells = width > 0 ? static_cast<std::size_t>(width) : 1;
    std::vector<std::string> lines;
    std::string paragraph;
    for (char ch : text) {
        if (ch == '\n') {
            WrapParagraph(paragraph, cells, &lines);
            paragraph.clear();
        } else if (ch == '\t') {
            paragraph += ' ';
        } else if (ch != '\r') {
            paragraph += ch;
        }
    }
    WrapParagraph(paragraph, cells, &lines);
    return lines;
}

int CellOf(long pixels, int cellPixels, int slack) {
    long shifted = pixels - slack;
    // Floors rather than truncates: the pixels just left of or above the
    // client area belong to the cells there, not to its first column or row.
    return static_cast<int>(shifted >= 0 ? shifted / cellPixels
                                         : -((-shifted + cellPixels - 1) / cellPixels));
}

} // namespace hosted::term
