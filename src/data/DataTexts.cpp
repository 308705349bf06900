#include "data/DataTexts.h"

#include "core/CLLang.h"

namespace harvexa {

DataTexts DataTexts::Read(CLLang& lang) {
    DataTexts texts;
    texts.working = lang.ReadText(6000, 108);
    texts.writingCsv = lang.ReadText(6000, 109);
    texts.closingFile = lang.ReadText(6000, 110);
    texts.writingText = lang.ReadText(6000, 111);
    texts.writingXml = lang.ReadText(6000, 112);
    texts.file = lang.ReadText(6000, 113);
    texts.of = lang.ReadText(6000, 114);
    texts.reading = lang.ReadText(6000, 115);
    texts.openingXml = lang.ReadText(6000, 116);
    return texts;
}

std::string DataTexts::FileStatus(std::size_t index, std::size_t count) const {
    return file + " " + std::to_string(index) + " " + of + " " + std::to_string(count);
}

std::string DataTexts::ReadingStatus(std::size_t records) const {
    return reading + std::to_string(records) + ")";
}

} // namespace harvexa
