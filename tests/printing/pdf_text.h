#pragma once

// The text of a PDF file as pdftotext (poppler-utils) reads it, with every run of
// white space, line ends included, made one blank. Qt's PDF writer compresses
// its streams and writes glyph numbers of an embedded font subset, so only a real
// PDF reader gets the text back; pdftotext is a Debian package that
// tools/install-deps.sh installs, needs no display and reads each page's text in
// drawing order, and collapsing the white space keeps the comparison independent of
// how it rebuilds blanks and lines from glyph positions.

#include <cstdio>
#include <string>

namespace tapwright::testing {

inline std::string Collapse(const std::string& text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f';
        if (space) {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

// Collapsed text of pages first ... last (0: to the end), or "<pdftotext failed>".
inline std::string PdfText(const std::string& path, int first = 1, int last = 0) {
    std::string command = "pdftotext -raw -f " + std::to_string(first);
    if (last > 0) command += " -l " + std::to_string(last);
    command += " '" + path + "' - 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return "<pdftotext failed>";
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    if (::pclose(pipe) != 0) return "<pdftotext failed>";
    return Collapse(text);
}

}  // namespace tapwright::testing
