#include "support/PageGenerator.h"

namespace harvexa::test {

namespace {

const std::vector<std::string> kWords = {"empresa", "contato", "about",   "services", "products", "the",
                                         "and",     "for",     "quality", "since",    "company",  "our",
                                         "team",    "clients", "more",    "news",     "produtos", "são",
                                         "paulo",   "qualité", "über",    "hotel",    "travel",   "Telefone",
                                         "office",  "market",  "solução", "price",    "call",     "us"};

const std::vector<std::string> kHosts = {"www.acme.com",    "acme.com",    "shop.acme.com",
                                         "www.partner.org", "example.net", "cdn.example.net",
                                         "www.orgão.br"};

// Fragments that the scans react to, for random pages.
const std::vector<std::string> kFragments = {"href",
                                             "HREF=",
                                             "href=\"",
                                             "href='",
                                             " href = ",
                                             "src=",
                                             "<frame",
                                             "<FRAMESET>",
                                             "http-equiv=\"refresh\"",
                                             "content=\"0; URL=",
                                             "url=",
                                             "@",
                                             "@@",
                                             "@.",
                                             ".@",
                                             "=",
                                             "==",
                                             "\"",
                                             "'",
                                             ">",
                                             "<",
                                             "\r",
                                             "\n",
                                             "\r\n",
                                             ".",
                                             "..",
                                             "#",
                                             ";",
                                             "mailto:",
                                             "MAILTO:",
                                             "http://",
                                             "https://",
                                             "HTTP://",
                                             "www.",
                                             "WWW.",
                                             " TARGET=_blank",
                                             " class=x",
                                             "%3A",
                                             "%2f",
                                             "../",
                                             "//",
                                             "<title>",
                                             "</title>",
                                             "<TITLE>",
                                             "<meta name=\"description\" content=\"",
                                             "<meta ",
                                             "<META",
                                             "keywords",
                                             "description",
                                             "content=",
                                             "content =",
                                             "TEL",
                                             "Tel.: ",
                                             "Fax ",
                                             "FONE:",
                                             "(11) ",
                                             "5555-1234",
                                             "0123456789",
                                             " ",
                                             "-",
                                             "/",
                                             "\\",
                                             "\t",
                                             "ç",
                                             "Ç",
                                             "´",
                                             "é",
                                             "€",
                                             "中文",
                                             "\x80",
                                             "\xC3",
                                             "\xFF",
                                             std::string(1, '\0'),
                                             "&amp;",
                                             "&AMP;",
                                             "\x7F",
                                             "a",
                                             "b.c",
                                             "x@y.com",
                                             "john.doe@acme.com",
                                             "h1",
                                             "/img/a.gif",
                                             "?q=",
                                             "&sa=U",
                                             "/url?q=http://h2/&sa=U",
                                             "<div id=\"res\">",
                                             "</div>",
                                             "jsessionid=1",
                                             "javascript:",
                                             "result",
                                             "begin",
                                             "end",
                                             "ALT=",
                                             "alt=\"www.h3.com\""};

const std::vector<std::string> kKeywordPool = {"TEL",      "Tel",  "FAX", "fax", "FONE", " TEL",
                                               "TEL ",     "T",    "Tél", "",    "@",    "PHONE",
                                               "Telefone", "FAX-", "x",   "中"};

} // namespace

PhoneKeywordLists PageGenerator::TypicalKeywords() {
    return PhoneKeywordLists{{"TEL", "FONE", "PHONE", "TELEFONE"}, {"FAX"}};
}

ResultEngineMarkers PageGenerator::ResultEngine() {
    return ResultEngineMarkers{"<div id=\"results\">", "<!-- end results -->", "HREF",
                               "webcache\r\ntranslate"};
}

std::string PageGenerator::Words(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            text += ' ';
        text += Pick(kWords);
    }
    return text;
}

std::string PageGenerator::Link() {
    const std::string& host = Pick(kHosts);
    const std::string page = Pick(kWords) + std::to_string(Below(500));
    switch (Below(12)) {
    case 0:
        return std::string("<a href=\"http://") + host + std::string("/") + page + std::string(".html\">") +
               Words(2) + "</a>";
    case 1:
        return std::string("<a href=\"/") + page + std::string("/index.php?id=") +
               std::to_string(Below(9999)) + std::string("&amp;lang=pt\">") + Words(2) + "</a>";
    case 2:
        return std::string("<a href=\"") + page + std::string(".htm\" class=\"nav\">") + Words(1) + "</a>";
    case 3:
        return std::string("<a href=\"../") + page + std::string(".htm#top\">") + Words(2) + "</a>";
    case 4:
        return std::string("<a href=") + page + std::string(".asp target=_blank>") + Words(1) + "</a>";
    case 5:
        return std::string("<a href=\"mailto:") + Email() + std::string("\">") + Words(1) + "</a>";
    case 6:
        return std::string("<img src=\"/img/") + page + std::string(".gif\" alt=\"") + Words(2) + "\">";
    case 7:
        return std::string("<a HREF='https://") + host + std::string("/") + page + std::string("'>") +
               Words(3) + "</a>";
    case 8:
        return std::string("<a href=\"http://") + host + std::string("/go?u=http://") + Pick(kHosts) +
               std::string("/\">") + Words(1) + "</a>";
    case 9:
        return std::string("<link rel=\"stylesheet\" href=\"/css/") + page + ".css\">";
    case 10:
        return std::string("<a href=\"") + page + std::string(".jsp;jsessionid=") +
               std::to_string(Below(99999)) + std::string("\">") + Words(2) + "</a>";
    default:
        return std::string("<a href=\"#") + page + std::string("\">") + Words(1) + "</a>";
    }
}

std::string PageGenerator::Email() {
    return Pick(kWords) + std::string(".") + Pick(kWords) + std::string("@") + Pick(kHosts);
}

std::string PageGenerator::PhoneLabel() {
    switch (Below(4)) {
    case 0:
        return std::string("Tel.: (11) ") + std::to_string(1000 + Below(9000)) + std::string("-") +
               std::to_string(1000 + Below(9000));
    case 1:
        return std::string("FAX: +55 11 ") + std::to_string(1000 + Below(9000)) + std::string(" ") +
               std::to_string(1000 + Below(9000));
    case 2:
        return std::string("Fone ") + std::to_string(1000 + Below(9000)) + std::string("-") +
               std::to_string(1000 + Below(9000));
    default:
        return std::string("Phone: (") + std::to_string(10 + Below(89)) + std::string(") ") +
               std::to_string(100000 + Below(900000));
    }
}

std::string PageGenerator::TypicalPage(std::size_t bytes) {
    std::string page =
        std::string("<!DOCTYPE html>\n<html lang=\"pt\">\n<head>\n<meta charset=\"utf-8\">\n<title>") +
        Words(4) + std::string(" - Acme</title>\n<meta name=\"description\" content=\"") + Words(14) +
        std::string("\">\n<meta name=\"keywords\" content=\"") + Words(8) +
        "\">\n<meta name=\"viewport\" content=\"width=device-width\">\n"
        "<link rel=\"stylesheet\" href=\"/css/site.css\">\n</head>\n<body>\n<ul class=\"menu\">\n";
    for (int i = 0; i < 12; ++i)
        page += std::string("<li><a href=\"/") + kWords[static_cast<std::size_t>(i)] +
                std::string(".html\">") + kWords[static_cast<std::size_t>(i)] + "</a></li>\n";
    page += "</ul>\n";
    std::size_t sinceEmail = 0, sincePhone = 0;
    while (page.size() < bytes) {
        std::string paragraph = std::string("<p>") + Words(6 + Below(20));
        const std::size_t links = Below(3);
        for (std::size_t i = 0; i < links; ++i)
            paragraph += std::string(" ") + Link() + std::string(" ") + Words(2 + Below(6));
        paragraph += ".</p>\n";
        sinceEmail += paragraph.size();
        sincePhone += paragraph.size();
        if (sinceEmail > 6000) {
            paragraph += std::string("<p>Contato: ") + Email() + std::string(". ") + Words(3) + "</p>\n";
            sinceEmail = 0;
        }
        if (sincePhone > 9000) {
            paragraph += std::string("<p>") + PhoneLabel() + std::string(" &nbsp; ") + Words(2) + "</p>\n";
            sincePhone = 0;
        }
        page += paragraph;
    }
    page += "</body>\n</html>\n";
    return page;
}

std::string PageGenerator::ResultPage(std::size_t bytes) {
    std::string page = "<html><head><title>results</title></head><body><a href=\"/preferences\">prefs</a>\n"
                       "<div id=\"results\">\n";
    while (page.size() < bytes) {
        const std::string host = Pick(kHosts);
        page += std::string("<div class=\"g\"><a href=\"/url?q=http://") + host + std::string("/") +
                Pick(kWords) + std::string("&amp;sa=U\">") + Words(5) +
                std::string("</a> <a href=\"http://webcache.example/") + host + "\">cache</a><span>" +
                Words(15) + "</span></div>\n";
    }
    page += "<!-- end results --><a href=\"/next\">next</a></body></html>\n";
    return page;
}

std::string PageGenerator::Repeated(const std::string& fragment, std::size_t bytes) {
    std::string page;
    page.reserve(bytes + fragment.size());
    while (page.size() < bytes)
        page += fragment;
    page.resize(bytes);
    return page;
}

std::string PageGenerator::PageWithoutCloseBracket(std::size_t bytes) {
    std::string page = TypicalPage(bytes);
    std::erase(page, '>');
    return page;
}

std::string PageGenerator::RandomFragmentText(std::size_t maxPieces) {
    std::string text;
    const std::size_t pieces = Below(maxPieces + 1);
    for (std::size_t i = 0; i < pieces; ++i)
        text += Below(4) == 0 ? std::string(1, static_cast<char>(' ' + Below(95))) : Pick(kFragments);
    return text;
}

std::string PageGenerator::RandomPage(std::size_t maxBytes) {
    const std::size_t target = Below(maxBytes + 1);
    std::string page;
    while (page.size() < target) {
        switch (Below(12)) {
        case 0:
            page += Link();
            break;
        case 10: {
            // A label followed by a phone run that may outlast the 100-character window.
            static const std::string phoneCharacters = "()/-.0123456789: ";
            page += Pick(kKeywordPool);
            for (std::size_t i = Below(160); i > 0; --i)
                page += phoneCharacters[Below(phoneCharacters.size())];
            break;
        }
        case 11: {
            // A value with no stop character that may outlast the 500-character window.
            page += Below(2) ? "href=" : "HREF=\"";
            for (std::size_t i = Below(700); i > 0; --i)
                page +=
                    Below(40) == 0 ? Pick(kFragments) : std::string(1, static_cast<char>('a' + Below(26)));
            break;
        }
        case 1:
            page += Email();
            break;
        case 2:
            page += PhoneLabel();
            break;
        case 3:
            page += std::string(1, static_cast<char>(Below(256)));
            break;
        default:
            page += Pick(kFragments);
        }
    }
    return page;
}

std::string PageGenerator::RandomBytes(std::size_t maxBytes) {
    std::string bytes(Below(maxBytes + 1), '\0');
    for (char& c : bytes)
        c = static_cast<char>(Below(256));
    return bytes;
}

PhoneKeywordLists PageGenerator::RandomKeywords() {
    PhoneKeywordLists lists;
    for (std::size_t i = Below(4); i > 0; --i)
        lists.Phones.push_back(Pick(kKeywordPool));
    for (std::size_t i = Below(3); i > 0; --i)
        lists.Faxes.push_back(Pick(kKeywordPool));
    return lists;
}

ResultEngineMarkers PageGenerator::RandomEngine() {
    static const std::vector<std::string> begins = {"",       "<div id=\"res\">", "begin",
                                                    "result", "zzz-not-there",    "<"};
    static const std::vector<std::string> ends = {"", "</div>", "end", "zzz-not-there", ">"};
    static const std::vector<std::string> tags = {"HREF", "href=", "ALT", "", "a", "SRC", "=", "\""};
    static const std::vector<std::string> mustNot = {"", "h9", "webcache\r\ntranslate", "\r\nx", "google"};
    return ResultEngineMarkers{Pick(begins), Pick(ends), Pick(tags), Pick(mustNot)};
}

std::string PageGenerator::RandomUrl() {
    static const std::vector<std::string> urls = {"http://h1/",
                                                  "http://h1/d/p.htm",
                                                  "https://www.acme.com/a/b/",
                                                  "http://acme.com",
                                                  "HTTP://H1/Dir",
                                                  "h1/x",
                                                  "http://h1:8080/x.php?y=a/b",
                                                  "",
                                                  "http://www.orgão.br/é/",
                                                  "x.htm"};
    return Pick(urls);
}

} // namespace harvexa::test
