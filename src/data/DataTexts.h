#pragma once

#include <cstddef>
#include <string>

namespace harvexa {

class CLLang;

// The progress texts of the loaders and writers, read once per operation.
struct DataTexts final {
    std::string working;     // 6000/108
    std::string writingCsv;  // 6000/109
    std::string closingFile; // 6000/110
    std::string writingText; // 6000/111
    std::string writingXml;  // 6000/112
    std::string file;        // 6000/113
    std::string of;          // 6000/114
    std::string reading;     // 6000/115
    std::string openingXml;  // 6000/116

    static DataTexts Read(CLLang& lang);

    // "File i of n".
    std::string FileStatus(std::size_t index, std::size_t count) const;
    // "Reading records (n)".
    std::string ReadingStatus(std::size_t records) const;
};

} // namespace harvexa
