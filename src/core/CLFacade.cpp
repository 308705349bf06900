#include "core/CLFacade.h"

#include "core/tables/RepGenerator.h"

namespace harvexa {

CLFacade::CLFacade(FrontEnd frontEnd, TdtmInitialTables& tables)
    : messages(lang, frontEnd.presenter)
    , progress(frontEnd.progress)
    , progress2(frontEnd.progress2)
    , generator(std::make_unique<RepGenerator>(tables.tbGenerator())) {}

} // namespace harvexa
