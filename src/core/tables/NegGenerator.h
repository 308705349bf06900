#pragma once

#include "core/tables/RepGenerator.h"

#include <memory>
#include <optional>

namespace harvexa {

// The single id counter of researches, search engines and query templates.
class NegGenerator final {
public:
    explicit NegGenerator(std::unique_ptr<RepGenerator> repository)
        : m_repository(std::move(repository)) {}

    // The next id, or nullopt when the counter could not be read or stored.
    [[nodiscard]] std::optional<int> NextId() { return m_repository->NextId(); }

private:
    std::unique_ptr<RepGenerator> m_repository;
};

} // namespace harvexa
