#include "ConsoleProgressView.h"

namespace harvexa {

void ConsoleProgressView::Print(const std::string& text, int value, int maximum) {
    m_err << "  [" << value << '/' << maximum << "] " << text << '\n';
}

void ConsoleProgressView::ProgressStart(int partialMax, int totalMax) {
    m_partialMax = partialMax;
    m_totalMax = totalMax;
    m_partial = 0;
    m_total = 0;
}

void ConsoleProgressView::ProgressTotal(int value, const std::string& text) {
    m_total = value;
    if (!text.empty())
        Print(text, m_total, m_totalMax);
}

void ConsoleProgressView::ProgressPartial(int value, const std::string& text) {
    m_partial = value;
    if (!text.empty())
        Print(text, m_partial, m_partialMax);
}

void ConsoleProgressView::ProgressStepTotal(const std::string& text) {
    ++m_total;
    if (!text.empty())
        Print(text, m_total, m_totalMax);
}

void ConsoleProgressView::ProgressStepPartial(const std::string& text) {
    ++m_partial;
    if (!text.empty())
        Print(text, m_partial, m_partialMax);
}

void ConsoleProgressView::ProgressClose() {
    m_partial = 0;
    m_total = 0;
}

void ConsoleProgressView::Progress2Start(const std::string& caption, const std::string& name, int maximum, bool,
                                         const std::string& text) {
    m_bar = 0;
    m_barMax = maximum;
    m_err << caption << ": " << name << (text.empty() ? "" : " - ") << text << '\n';
}

void ConsoleProgressView::Progress2Text(const std::string& name, const std::string& text) {
    if (!name.empty() || !text.empty())
        Print(name + (text.empty() ? "" : " - " + text), m_bar, m_barMax);
}

void ConsoleProgressView::Progress2Step() { ++m_bar; }

void ConsoleProgressView::Progress2SetMax(int n) {
    m_barMax = n;
    m_bar = 0;
}

void ConsoleProgressView::Progress2Close() { m_bar = 0; }

void ConsoleProgressView::RequestStop() {
    if (m_stop)
        m_stop();
}

} // namespace harvexa
