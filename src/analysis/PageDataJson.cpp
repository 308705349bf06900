#include "analysis/PageDataJson.h"

#include "analysis/PageDecoder.h"

#include <cstdio>

namespace harvexa {

std::string JsonString(std::string_view text) {
    const std::string valid = PageDecoder::IsValidUtf8(text) ? std::string(text) : [&] {
        std::string out;
        (void)PageDecoder::ConvertToUtf8(text, "UTF-8", out);
        return out;
    }();
    std::string json;
    json.reserve(valid.size() + 2);
    json.push_back('"');
    for (const char c : valid) {
        switch (c) {
        case '"':
            json += "\\\"";
            break;
        case '\\':
            json += "\\\\";
            break;
        case '\n':
            json += "\\n";
            break;
        case '\r':
            json += "\\r";
            break;
        case '\t':
            json += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                json += escaped;
            } else {
                json.push_back(c);
            }
        }
    }
    json.push_back('"');
    return json;
}

namespace {

void AppendArray(std::string& json, std::string_view key, const std::vector<std::string>& items) {
    json += "  ";
    json += JsonString(key);
    json += ": [";
    for (std::size_t i = 0; i < items.size(); ++i) {
        json += i == 0 ? "\n    " : ",\n    ";
        json += JsonString(items[i]);
    }
    json += items.empty() ? "]" : "\n  ]";
}

void AppendField(std::string& json, std::string_view key, std::string_view value) {
    json += "  ";
    json += JsonString(key);
    json += ": ";
    json += JsonString(value);
}

} // namespace

std::string PageDataToJson(const EntPageData& page) {
    std::string json = "{\n";
    AppendField(json, "url", page.Url);
    json += ",\n";
    AppendField(json, "title", page.Title);
    json += ",\n";
    AppendField(json, "description", page.Description);
    json += ",\n";
    AppendField(json, "keywords", page.Keywords);
    json += ",\n";
    AppendArray(json, "emails", page.Emails);
    json += ",\n";
    AppendArray(json, "phones", page.Phones);
    json += ",\n";
    AppendArray(json, "faxes", page.Faxes);
    json += ",\n";
    AppendArray(json, "internal_links", page.InternalLinks);
    json += ",\n";
    AppendArray(json, "external_links", page.ExternalLinks);
    json += "\n}\n";
    return json;
}

} // namespace harvexa
