#pragma once

#include <string>
#include <string_view>

namespace harvexa {

// Turns the bytes of a fetched page into UTF-8 text: a byte-order mark decides first, then the
// charset of the HTTP Content-Type, then a <meta charset> or http-equiv declaration in the first
// 2 KiB, then UTF-8 when the bytes are valid UTF-8, else Windows-1252.
class PageDecoder final {
public:
    [[nodiscard]] static std::string Decode(std::string_view bytes, std::string_view contentType = {});

    // The charset parameter of a Content-Type value, lower-cased; empty when absent.
    static std::string CharsetFromContentType(std::string_view contentType);
    // The charset declared by a <meta> tag in the first 2 KiB of the page, lower-cased; empty when absent.
    static std::string CharsetFromMarkup(std::string_view bytes);

    static bool IsValidUtf8(std::string_view bytes);
    static std::string Windows1252ToUtf8(std::string_view bytes);
    // Valid UTF-8 as it is, anything else taken as Windows-1252 (files brought from the Windows program).
    static std::string FileTextToUtf8(std::string_view bytes);

    // Converts from the named charset; invalid sequences become U+FFFD. False when the charset is unknown.
    [[nodiscard]] static bool ConvertToUtf8(std::string_view bytes, std::string_view charset,
                                            std::string& out);
};

} // namespace harvexa
