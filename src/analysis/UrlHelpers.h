#pragma once

#include <string>
#include <string_view>

// URL helpers of page analysis, also used by the capture worker and the directory module.
namespace harvexa {

// A raw attribute value made a link: quotes, blanks, fragments, ";" suffixes, trailing dots,
// following attributes and "mailto" links removed, redirects cut to the innermost "http://" address.
// Empty when nothing usable is left.
std::string CleanLink(std::string_view raw);

// True when the link names a scheme and a site root other than pageRoot (a SiteRoot result).
bool IsExternalLink(std::string_view pageRoot, std::string_view link);

// "http://host/" or "https://host/", lower-cased; the url unchanged when it has no scheme.
std::string SiteRoot(std::string_view url);

// The folder of a page address, always ending with "/".
std::string PageFolder(std::string_view url);

// Removes characters from the end until the text ends with "/" or "\", at most 500 of them.
std::string TrimToLastSlash(std::string_view text);

} // namespace harvexa
