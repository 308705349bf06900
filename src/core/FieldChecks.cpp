#include "core/FieldChecks.h"

#include "core/CLLang.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace harvexa {

namespace {

std::string Trimmed(const std::string& value) {
    const auto first = value.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return value.substr(first, value.find_last_not_of(" \t") - first + 1);
}

bool ReadsAsNumber(const std::string& value) {
    const std::string text = Trimmed(value);
    if (text.empty())
        return false;
    // Only plain decimal forms count: strtod would also take "inf", "nan" and hex.
    for (const char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '+' && c != 'e' &&
            c != 'E')
            return false;
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

std::optional<long long> WholeNumber(const std::string& value) {
    const std::string text = Trimmed(value);
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    long long number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (text.empty() || error != std::errc() || end != last)
        return std::nullopt;
    return number;
}

} // namespace

std::optional<std::string> CheckTextField(CLLang& lang, const std::string& value, bool allowEmpty,
                                          const std::string& label) {
    if (ReadsAsNumber(value) || (value.empty() && !allowEmpty))
        return "(" + label + ") " + lang.ReadText(5000, 40);
    return std::nullopt;
}

std::optional<std::string> CheckNumberField(CLLang& lang, const std::string& value, long long maximum,
                                            const std::string& label, long long minimum) {
    const auto number = WholeNumber(value);
    if (number && (*number == 0 || (*number >= minimum && *number <= maximum)))
        return std::nullopt;
    return "(" + label + ") " + lang.ReadText(5000, 41) + " " + std::to_string(minimum) + ".." +
           std::to_string(maximum);
}

} // namespace harvexa
