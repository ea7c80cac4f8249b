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
#include <vector>

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

// Standard output of a shell command, or false when it cannot run or fails.
inline bool CommandOutput(const std::string& command, std::string& out) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return false;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    return ::pclose(pipe) == 0;
}

// Collapsed text of pages first ... last (0: to the end), or "<pdftotext failed>".
inline std::string PdfText(const std::string& path, int first = 1, int last = 0) {
    std::string command = "pdftotext -raw -f " + std::to_string(first);
    if (last > 0) command += " -l " + std::to_string(last);
    command += " '" + path + "' - 2>/dev/null";
    std::string text;
    if (!CommandOutput(command, text)) return "<pdftotext failed>";
    return Collapse(text);
}

// The collapsed text of each page, in order, as many as pdfinfo counts ({} when
// it fails): a blank page shows as an empty text.
inline std::vector<std::string> PdfPageTexts(const std::string& path) {
    std::string info;
    if (!CommandOutput("pdfinfo '" + path + "' 2>/dev/null", info)) return {};
    const std::size_t at = info.find("\nPages:");
    if (at == std::string::npos) return {};
    std::vector<std::string> pages(std::stoul(info.substr(at + 7)));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pages[i] = PdfText(path, static_cast<int>(i + 1), static_cast<int>(i + 1));
    }
    return pages;
}

// Whether a page's text ends with its footer "Page:P of N".
inline bool EndsWithFooter(const std::string& text, int p, int count) {
    const std::string footer = "Page:" + std::to_string(p) + " of " + std::to_string(count);
    return text.size() >= footer.size() &&
           text.compare(text.size() - footer.size(), footer.size(), footer) == 0;
}

// What is wrong with the pages of a PDF that should hold pages first ... count of a
// report of count pages, each ending with its own footer; empty when nothing is.
inline std::string PageFooterFaults(const std::string& path, int first, int count) {
    const std::vector<std::string> pages = PdfPageTexts(path);
    if (static_cast<int>(pages.size()) != count - first + 1) {
        return std::to_string(pages.size()) + " pages";
    }
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (!EndsWithFooter(pages[i], first + static_cast<int>(i), count)) return pages[i];
    }
    return "";
}

}  // namespace tapwright::testing
