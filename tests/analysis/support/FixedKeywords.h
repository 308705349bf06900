#pragma once

#include "analysis/PhoneKeywordSource.h"

namespace harvexa::test {

// Phone and fax labels given in the test.
class FixedKeywords final : public PhoneKeywordSource {
public:
    explicit FixedKeywords(PhoneKeywordLists lists)
        : m_lists(std::move(lists)) {}
    std::optional<PhoneKeywordLists> Read() const override { return m_lists; }

private:
    PhoneKeywordLists m_lists;
};

} // namespace harvexa::test
