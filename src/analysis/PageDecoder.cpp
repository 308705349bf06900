#include "analysis/PageDecoder.h"

#include "analysis/TextScan.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <iconv.h>

namespace harvexa {

using namespace analysis;

namespace {

constexpr std::size_t kMarkupSniffBytes = 2048;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Windows-1252 0x80..0x9F; the five undefined bytes map to the C1 control of the same value.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Length of the valid UTF-8 sequence at pos, 0 when the bytes there are not one.
std::size_t ValidSequenceLength(std::string_view bytes, std::size_t pos) {
    const auto b0 = static_cast<unsigned char>(bytes[pos]);
    if (b0 < 0x80)
        return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0)
            low = 0xA0;
        else if (b0 == 0xED)
            high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0)
            low = 0x90;
        else if (b0 == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() - pos < length)
        return 0;
    const auto b1 = static_cast<unsigned char>(bytes[pos + 1]);
    if (b1 < low || b1 > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[pos + i]);
        if (b < 0x80 || b > 0xBF)
            return 0;
    }
    return length;
}

// Charset labels that browsers read as Windows-1252 or UTF-8, plus whatever iconv knows.
std::string CanonicalCharset(std::string label) {
    label = std::string(TrimBlanks(label));
    while (!label.empty() && (label.front() == '"' || label.front() == '\''))
        label.erase(label.begin());
    while (!label.empty() && (label.back() == '"' || label.back() == '\''))
        label.pop_back();
    label = LowerCopy(label);
    if (label == "utf8" || label == "unicode-1-1-utf-8")
        return "utf-8";
    if (label == "iso-8859-1" || label == "iso8859-1" || label == "latin1" || label == "l1" ||
        label == "us-ascii" || label == "ascii" || label == "cp1252" || label == "windows-1252" ||
        label == "x-cp1252" || label == "iso_8859-1" || label == "cp819")
        return "windows-1252";
    return label;
}

std::string CharsetAfter(std::string_view text, std::size_t charsetPos) {
    // text[charsetPos..] starts with "charset"; skip "=", blanks and an opening quote.
    std::size_t pos = charsetPos + 7;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    if (pos >= text.size() || text[pos] != '=')
        return {};
    ++pos;
    while (pos < text.size() &&
           (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '"' || text[pos] == '\''))
        ++pos;
    std::size_t end = pos;
    while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '-' ||
                                 text[end] == '_' || text[end] == '.' || text[end] == ':'))
        ++end;
    return LowerCopy(text.substr(pos, end - pos));
}

std::string DecodeWithCharset(std::string_view bytes, const std::string& charset, bool& known) {
    known = true;
    if (charset == "utf-8") {
        if (PageDecoder::IsValidUtf8(bytes))
            return std::string(bytes);
        std::string out;
        out.reserve(bytes.size());
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            const std::size_t length = ValidSequenceLength(bytes, pos);
            if (length == 0) {
                out += kReplacement;
                ++pos;
            } else {
                out.append(bytes, pos, length);
                pos += length;
            }
        }
        return out;
    }
    if (charset == "windows-1252")
        return PageDecoder::Windows1252ToUtf8(bytes);
    std::string out;
    known = PageDecoder::ConvertToUtf8(bytes, charset, out);
    return out;
}

} // namespace

std::string PageDecoder::CharsetFromContentType(std::string_view contentType) {
    const std::string lower = LowerCopy(contentType);
    const std::size_t at = Find(lower, "charset");
    return at == npos ? std::string() : CanonicalCharset(CharsetAfter(lower, at));
}

std::string PageDecoder::CharsetFromMarkup(std::string_view bytes) {
    const std::string head = LowerCopy(bytes.substr(0, kMarkupSniffBytes));
    std::size_t meta = Find(head, "<meta");
    while (meta != npos) {
        const std::size_t close = head.find('>', meta);
        const std::string_view tag = std::string_view(head).substr(meta, close == npos ? npos : close - meta);
        const std::size_t at = Find(tag, "charset");
        if (at != npos) {
            std::string charset = CharsetAfter(tag, at);
            // A page that can carry an ASCII <meta> is not UTF-16, whatever it says.
            if (charset.rfind("utf-16", 0) == 0)
                return "utf-8";
            if (!charset.empty())
                return CanonicalCharset(charset);
        }
        meta = Find(head, "<meta", meta + 5);
    }
    return {};
}

bool PageDecoder::IsValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t length = ValidSequenceLength(bytes, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

std::string PageDecoder::Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out.push_back(c);
        else if (byte < 0xA0)
            AppendUtf8(out, kWindows1252High[byte - 0x80]);
        else
            AppendUtf8(out, byte);
    }
    return out;
}

std::string PageDecoder::FileTextToUtf8(std::string_view bytes) {
    return IsValidUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

bool PageDecoder::ConvertToUtf8(std::string_view bytes, std::string_view charset, std::string& out) {
    out.clear();
    iconv_t converter = ::iconv_open("UTF-8", std::string(charset).c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    out.reserve(bytes.size() + bytes.size() / 2);
    std::array<char, 16384> buffer;
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = ::iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (result != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // An invalid or truncated sequence: one replacement character, skip one byte, reset the state.
        out += kReplacement;
        ++in;
        --inLeft;
        ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    ::iconv(converter, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer.data(), buffer.size() - outLeft);
    ::iconv_close(converter);
    return true;
}

std::string PageDecoder::Decode(std::string_view bytes, std::string_view contentType) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bool known = true;
        return DecodeWithCharset(bytes.substr(3), "utf-8", known);
    }
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        std::string out;
        if (ConvertToUtf8(bytes.substr(2), bytes[0] == '\xFF' ? "UTF-16LE" : "UTF-16BE", out))
            return out;
    }
    for (const std::string& charset : {CharsetFromContentType(contentType), CharsetFromMarkup(bytes)}) {
        if (charset.empty())
            continue;
        bool known = false;
        std::string text = DecodeWithCharset(bytes, charset, known);
        if (known)
            return text;
    }
    return FileTextToUtf8(bytes);
}

} // namespace harvexa
