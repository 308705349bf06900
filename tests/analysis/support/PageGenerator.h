#pragma once

#include "analysis/PhoneKeywordSource.h"
#include "analysis/ResultEngineMarkers.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace harvexa::test {

// Pages for the differential tests and the benchmarks: realistic pages of a given size, the worst
// cases of each scan, and random pages built from the fragments the scans react to.
class PageGenerator final {
public:
    explicit PageGenerator(std::uint64_t seed)
        : m_random(seed) {}

    // A company or directory page: head with title and meta tags, navigation, paragraphs with links
    // of every form (about one per 250 bytes), an address every few kilobytes, phone and fax labels.
    std::string TypicalPage(std::size_t bytes);
    // A search-engine result page for ResultEngine(): results between the engine's markers.
    std::string ResultPage(std::size_t bytes);
    static ResultEngineMarkers ResultEngine();

    // Worst cases: one fragment repeated up to the size, and a typical page with every ">" removed.
    static std::string Repeated(const std::string& fragment, std::size_t bytes);
    std::string PageWithoutCloseBracket(std::size_t bytes);

    // Random pages built from the scans' markers, characters from the tables, invalid UTF-8 and NUL bytes.
    std::string RandomPage(std::size_t maxBytes);
    // Random bytes.
    std::string RandomBytes(std::size_t maxBytes);
    // A random value for the link, e-mail and phone helpers.
    std::string RandomFragmentText(std::size_t maxPieces);
    PhoneKeywordLists RandomKeywords();
    ResultEngineMarkers RandomEngine();
    std::string RandomUrl();

    static PhoneKeywordLists TypicalKeywords();

    std::mt19937_64& Random() { return m_random; }

private:
    std::size_t Below(std::size_t bound) { return bound == 0 ? 0 : m_random() % bound; }
    const std::string& Pick(const std::vector<std::string>& items) { return items[Below(items.size())]; }
    std::string Words(std::size_t count);
    std::string Link();
    std::string Email();
    std::string PhoneLabel();

    std::mt19937_64 m_random;
};

} // namespace harvexa::test
