// Text as a snapshot line of the transcript writes it, on the simulated
// machine and under Wine alike, so that the two transcripts compare.
#pragma once

#include <string>

// `text` in double quotes, a quote or backslash in it escaped by a backslash.
std::string QuoteTranscriptText(const std::string& text);
