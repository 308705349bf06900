// libFuzzer target for page analysis and the capture filters. The input is split at 0x01 bytes into
// page, phone labels, fax labels, engine markers (begin, end, tag, must-not-have lines) and page URL;
// a leading byte selects the modes. Small pages are also checked against the literal procedures.
#include "analysis/CLFilter.h"
#include "analysis/CLPageExtractor.h"
#include "analysis/FlattenText.h"
#include "analysis/PageDecoder.h"
#include "analysis/UrlHelpers.h"
#include "reference/LiteralExtractor.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace harvexa;

class GivenKeywords final : public PhoneKeywordSource {
public:
    explicit GivenKeywords(PhoneKeywordLists lists)
        : m_lists(std::move(lists)) {}
    std::optional<PhoneKeywordLists> Read() const override { return m_lists; }

private:
    PhoneKeywordLists m_lists;
};

std::vector<std::string> Parts(std::string_view input) {
    std::vector<std::string> parts(1);
    for (const char c : input) {
        if (c == '\x01' && parts.size() < 5)
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    parts.resize(5);
    return parts;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (const char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back().push_back(c);
    }
    return lines;
}

[[noreturn]] void Mismatch(const char* what) {
    std::fprintf(stderr, "fast and literal analysis differ: %s\n", what);
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const unsigned modes = data[0];
    const std::vector<std::string> parts =
        Parts(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    static const char* const contentTypes[] = {
        "", "text/html; charset=utf-8", "text/html; charset=iso-8859-1", "text/html; charset=shift_jis"};
    const std::string page =
        modes & 4 ? PageDecoder::Decode(parts[0], contentTypes[(modes >> 3) & 3]) : parts[0];
    const GivenKeywords keywords(PhoneKeywordLists{Lines(parts[1]), Lines(parts[2])});
    const std::vector<std::string> markers = Lines(parts[3]);
    std::optional<ResultEngineMarkers> engine;
    if (markers.size() >= 3) {
        std::string mustNotHave;
        for (std::size_t i = 3; i < markers.size(); ++i)
            mustNotHave += markers[i] + "\r\n";
        engine = ResultEngineMarkers{markers[0], markers[1], markers[2], mustNotHave};
    }
    const std::string url = parts[4].empty() ? "http://h1/d/p.htm" : parts[4];
    const std::string repeated = modes & 2 ? "0" : "1";

    CLPageExtractor fast;
    fast.SetPageText(page);
    fast.SetRepeatedEmails(repeated);
    fast.SetPhoneKeywordSource(&keywords);
    fast.SetResultPageMode(modes & 1);
    fast.SetResultEngine(engine);
    const auto facts = fast.Extract(url, true, true, true, true, true);
    if (!facts)
        Mismatch("no record");

    if (page.size() <= 2048 && parts[1].size() + parts[2].size() <= 64) {
        test::LiteralExtractor literal;
        literal.SetPageText(page);
        literal.SetRepeatedEmails(repeated);
        literal.SetPhoneKeywordSource(&keywords);
        literal.SetResultPageMode(modes & 1);
        literal.SetResultEngine(engine);
        const auto expected = literal.Extract(url, true, true, true, true, true);
        if (!expected || !(*expected == *facts))
            Mismatch("page facts");
    }

    // The filters and helpers on the same text.
    LoggedEntrySet urls, emails;
    ResearchFilterLists lists;
    lists.url_must_have = parts[1];
    lists.url_must_not_have = parts[2];
    lists.site_must_have = parts[1];
    lists.site_must_not_have = parts[2];
    lists.email_must_have = parts[2];
    lists.email_must_not_have = parts[1];
    lists.domains = parts[4];
    lists.binary_files = parts[3];
    lists.exigir_valid_domains = modes & 32;
    CLFilter filter(nullptr, urls, emails);
    filter.SetResearch(&lists);
    (void)filter.FilterUrl(url);
    filter.SetContent(page);
    (void)filter.FilterContent();
    (void)filter.FilterEmails(facts->Emails);
    (void)CLFilter::DecodeEntities(page.substr(0, 4096));
    (void)FlattenText(page);
    (void)TrimToLastSlash(page);
    (void)SiteRoot(url);
    (void)PageFolder(url);
    const std::string piece = page.substr(0, 600);
    if (CleanLink(piece) != test::LiteralExtractor::CleanLink(piece))
        Mismatch("CleanLink");
    std::string candidate = piece, literalCandidate = piece;
    if (CLPageExtractor::ValidateEmail(candidate) !=
            test::LiteralExtractor::ValidateEmail(literalCandidate) ||
        candidate != literalCandidate)
        Mismatch("ValidateEmail");
    return 0;
}
