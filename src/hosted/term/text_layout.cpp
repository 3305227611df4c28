// Label and message texts cut to the cells the terminal gives them.
#include "term/text_layout.h"

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
