#pragma once

#include "core/tables/TableDef.h"

#include <array>
#include <string_view>

namespace harvexa {

// The persistent tables, each kept in one file of the application folder.
const TableDef& ResearchTableDef();      // tbResearch.xml
const TableDef& GeneratorTableDef();     // tbGenerator.xml
const TableDef& SearchEnginesTableDef(); // tbSearchEngines.xml
const TableDef& DataTableDef();          // tbData.xml
const TableDef& SearchQueryTableDef();   // tbSearchQuery.xml
const TableDef& LackSitesTableDef();     // tbLackSites.xml

// The workbench table: in memory only; loaders address its columns by position.
const TableDef& DataExportTableDef();

// The six persistent tables in the order a new installation creates them.
const std::array<const TableDef*, 6>& PersistentTablesInCreationOrder();

// The six persistent tables in the order they are copied to and from the backup folder.
const std::array<const TableDef*, 6>& PersistentTablesInBackupOrder();

// The persistent table stored under this file name (the last path component, ignoring case), or nullptr.
const TableDef* PersistentTableForFile(std::string_view path);

} // namespace harvexa
