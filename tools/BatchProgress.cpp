#include "BatchProgress.h"

#include "platform/Terminal.h"

#include <algorithm>

namespace {

constexpr char kClearLine[] = "\r\x1b[K";

// Cuts text to a number of columns, counting UTF-8 characters, keeping its end
// (the set's own name) and marking the cut with "...".
std::string KeepEnd(const std::string& text, size_t columns)
{
    size_t characters = 0;
    for (unsigned char c : text)
        characters += (c & 0xC0) != 0x80;
    if (characters <= columns)
        return text;
    if (columns <= 3)
        return std::string(columns, '.');
    size_t drop = characters - (columns - 3), at = 0;
    while (at < text.size() && drop > 0) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
            ++at;
        --drop;
    }
    return "..." + text.substr(at);
}

}  // namespace

BatchProgress::BatchProgress(std::FILE* out, size_t total, std::string doneWord)
    : m_out(out), m_total(total), m_doneWord(std::move(doneWord)), m_terminal(platform::IsTerminal(out))
{
}

void BatchProgress::Started(const std::string& item)
{
    m_current = item;
    if (m_terminal)
        DrawBar();
}

void BatchProgress::Finished(const std::string& item, bool succeeded, const std::string& reason)
{
    ++m_finished;
    if (!succeeded)
        m_failures.push_back({item, reason});
    if (m_terminal) {
        if (!succeeded)
            std::fprintf(m_out, "%sfailed: %s: %s\n", kClearLine, item.c_str(), reason.c_str());
        DrawBar();
    } else if (succeeded) {
        std::fprintf(m_out, "[%zu/%zu] %s %s\n", m_finished, m_total, m_doneWord.c_str(), item.c_str());
    } else {
        std::fprintf(m_out, "[%zu/%zu] failed %s: %s\n", m_finished, m_total, item.c_str(), reason.c_str());
    }
    std::fflush(m_out);
}

void BatchProgress::End()
{
    if (m_terminal) {
        std::fputs(kClearLine, m_out);
        std::fflush(m_out);
    }
}

size_t BatchProgress::Succeeded() const
{
    return m_finished - m_failures.size();
}

std::vector<BatchFailure> BatchProgress::Failures() const
{
    return m_failures;
}

std::string BatchProgress::Bar(size_t width) const
{
    const size_t filled = m_total ? width * m_finished / m_total : width;
    return "[" + std::string(filled, '#') + std::string(width - filled, '-') + "]";
}

// "[#########-----------]  23/50  1 failed  News/Studio A", fitted to the terminal.
void BatchProgress::DrawBar()
{
    const size_t columns = static_cast<size_t>(std::max(platform::TerminalColumns(m_out), 20));
    std::string counts = " " + std::to_string(m_finished) + "/" + std::to_string(m_total);
    if (!m_failures.empty())
        counts += "  " + std::to_string(m_failures.size()) + " failed";
    const size_t barWidth = std::min<size_t>(30, columns / 3);
    std::string line = Bar(barWidth) + counts;
    if (line.size() + 3 < columns && m_finished < m_total)
        line += "  " + KeepEnd(m_current, columns - line.size() - 3);
    else if (line.size() >= columns)
        line.resize(columns - 1);  // a narrow terminal would wrap it, and the next redraw would not clear it
    std::fprintf(m_out, "%s%s", kClearLine, line.c_str());
    std::fflush(m_out);
}
