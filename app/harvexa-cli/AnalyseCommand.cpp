#include "AnalyseCommand.h"

#include "analysis/CLPageExtractor.h"
#include "analysis/PageDataJson.h"
#include "analysis/PageDecoder.h"
#include "analysis/PhoneKeywordFiles.h"
#include "analysis/TextScan.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <unistd.h>

namespace harvexa {

namespace {

constexpr const char* kUsage =
    "usage: harvexa-cli analyse FILE --url URL [--emails] [--title] [--meta] [--phones] [--all]\n"
    "                           [--result-engine ENGINE.ini] [--content-type TYPE]\n"
    "                           [--repeated-emails VALUE] [--phone-keywords FILE] [--fax-keywords FILE]\n"
    "\n"
    "Analyses one saved page as a capture worker does and prints its facts as JSON: url, title,\n"
    "description, keywords, emails, phones, faxes, internal_links, external_links.\n"
    "\n"
    "  --url URL               address the page was fetched from (resolves relative links)\n"
    "  --emails --title --meta --phones\n"
    "                          capture these facts (links are always captured); --all sets all four\n"
    "  --result-engine FILE    treat the page as a search-engine result page; FILE holds a section\n"
    "                          [search_engine] with begin_search_text, end_search_text, tag_busca_link\n"
    "                          and one must_not_have line per key; a value in double quotes keeps its "
    "blanks\n"
    "  --content-type TYPE     the HTTP Content-Type header, for its charset\n"
    "  --repeated-emails VALUE the setting Repeated_emails (\"0\": each address once, sorted)\n"
    "  --phone-keywords FILE, --fax-keywords FILE\n"
    "                          label files for --phones (default: phones.txt and fax.txt in the folder\n"
    "                          config/ of the application folder)\n";

struct Options {
    std::string file;
    std::string url;
    bool urlGiven = false;
    bool emails = false, title = false, meta = false, phones = false;
    std::optional<std::string> engineFile;
    std::string contentType;
    std::string repeatedEmails = "1";
    std::optional<std::string> phoneKeywords, faxKeywords;
    bool help = false;
};

// Fills the options; an error text when the arguments are wrong.
std::optional<std::string> ParseOptions(const std::vector<std::string>& args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&](std::string& target) -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return "missing value after " + arg;
            target = args[++i];
            return std::nullopt;
        };
        std::optional<std::string> error;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--url") {
            error = value(options.url);
            options.urlGiven = true;
        } else if (arg == "--emails") {
            options.emails = true;
        } else if (arg == "--title") {
            options.title = true;
        } else if (arg == "--meta") {
            options.meta = true;
        } else if (arg == "--phones") {
            options.phones = true;
        } else if (arg == "--all") {
            options.emails = options.title = options.meta = options.phones = true;
        } else if (arg == "--result-engine") {
            error = value(options.engineFile.emplace());
        } else if (arg == "--content-type") {
            error = value(options.contentType);
        } else if (arg == "--repeated-emails") {
            error = value(options.repeatedEmails);
        } else if (arg == "--phone-keywords") {
            error = value(options.phoneKeywords.emplace());
        } else if (arg == "--fax-keywords") {
            error = value(options.faxKeywords.emplace());
        } else if (arg.rfind("--", 0) == 0) {
            error = "unknown option " + arg;
        } else if (options.file.empty()) {
            options.file = arg;
        } else {
            error = "more than one page file given: " + arg;
        }
        if (error)
            return error;
    }
    if (options.help)
        return std::nullopt;
    if (options.file.empty())
        return std::string("no page file given");
    if (!options.urlGiven || options.url.empty())
        return std::string("--url is required: relative links are resolved against it");
    return std::nullopt;
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string IniValue(std::string_view raw) {
    std::string_view value = raw;
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.remove_suffix(1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

// The [search_engine] section of an engine file; an error text when the file cannot be used.
std::optional<std::string> ReadEngineFile(const std::string& path, ResultEngineMarkers& engine,
                                          std::ostream& err) {
    const auto bytes = ReadFile(path);
    if (!bytes)
        return "cannot read the engine file " + path;
    bool inSection = false, sectionFound = false, tagGiven = false;
    std::vector<std::string> mustNotHave;
    const auto lines = analysis::SplitLines(PageDecoder::FileTextToUtf8(*bytes));
    for (std::size_t number = 1; number <= lines.size(); ++number) {
        const std::string_view line = analysis::TrimBlanks(lines[number - 1]);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string name =
                close == std::string_view::npos ? std::string() : std::string(line.substr(1, close - 1));
            inSection = analysis::EqualsIgnoreCase(analysis::TrimBlanks(name), "search_engine");
            sectionFound = sectionFound || inSection;
            continue;
        }
        if (!inSection)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return path + ":" + std::to_string(number) + ": expected key = value";
        const std::string key = analysis::LowerCopy(analysis::TrimBlanks(line.substr(0, equals)));
        const std::string value = IniValue(lines[number - 1].substr(lines[number - 1].find('=') + 1));
        if (key == "begin_search_text") {
            engine.begin_search_text = value;
        } else if (key == "end_search_text") {
            engine.end_search_text = value;
        } else if (key == "tag_busca_link") {
            engine.tag_busca_link = value;
            tagGiven = true;
        } else if (key == "must_not_have") {
            mustNotHave.push_back(value);
        }
        // Other engine fields (name, identification text, query encodings) do not matter here.
    }
    if (!sectionFound)
        return path + ": no [search_engine] section";
    engine.must_not_have = analysis::JoinLines(mustNotHave);
    if (!tagGiven || engine.tag_busca_link.empty())
        err << "warning: " << path << ": tag_busca_link is empty, so no result link is harvested\n";
    return std::nullopt;
}

std::string DefaultKeywordFolder() {
    std::string folder;
    if (const char* home = std::getenv("HARVEXA_HOME"); home && *home) {
        folder = home;
    } else {
        std::error_code error;
        folder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path().string();
    }
    if (!folder.empty() && folder.back() != '/')
        folder.push_back('/');
    return folder + "config/";
}

} // namespace

int RunAnalyseCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    if (const auto error = ParseOptions(args, options)) {
        err << "harvexa-cli analyse: " << *error << "\n" << kUsage;
        return 2;
    }
    if (options.help) {
        out << kUsage;
        return 0;
    }
    const auto bytes = ReadFile(options.file);
    if (!bytes) {
        err << "harvexa-cli analyse: cannot read the page file " << options.file << "\n";
        return 1;
    }
    CLPageExtractor extractor;
    extractor.SetPageText(PageDecoder::Decode(*bytes, options.contentType));
    extractor.SetRepeatedEmails(options.repeatedEmails);
    if (options.engineFile) {
        ResultEngineMarkers engine;
        if (const auto error = ReadEngineFile(*options.engineFile, engine, err)) {
            err << "harvexa-cli analyse: " << *error << "\n";
            return 1;
        }
        extractor.SetResultPageMode(true);
        extractor.SetResultEngine(engine);
    }
    const std::string folder = DefaultKeywordFolder();
    const PhoneKeywordFiles keywordFiles(options.phoneKeywords.value_or(folder + "phones.txt"),
                                         options.faxKeywords.value_or(folder + "fax.txt"));
    extractor.SetPhoneKeywordSource(&keywordFiles);
    const auto page =
        extractor.Extract(options.url, options.emails, options.title, true, options.meta, options.phones);
    if (!page) {
        // The only step that fails a page is the phone step without its label files.
        err << "harvexa-cli analyse: the page yields no record: cannot read the phone and fax labels ("
            << keywordFiles.PhonesFile() << ", " << keywordFiles.FaxFile() << ")\n";
        return 1;
    }
    out << PageDataToJson(*page);
    return out ? 0 : 1;
}

} // namespace harvexa
