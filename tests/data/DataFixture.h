#pragma once

#include "core/CLLang.h"
#include "core/tables/TableDefinitions.h"
#include "core/tables/TableHandle.h"
#include "data/NegData.h"
#include "data/RepData.h"
#include "support/RecordingFrontEnd.h"
#include "support/TempAppFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace harvexa::test {

// An installed application folder with the captured-data objects built as the facade builds them.
class DataFixture : public ::testing::Test {
protected:
    DataFixture() {
        m_dataTable.BindFile(m_folder.File("tbData.xml"), DataTableDef());
        m_data =
            std::make_unique<NegData>(m_lang, std::make_unique<RepData>(m_lang, m_progress, m_dataTable));
    }

    NegData& Data() { return *m_data; }
    TableHandle& Workbench() { return m_data->tbDataExport(); }

    std::string Path(const std::string& relative) const { return m_folder.File(relative); }

    void WriteBytes(const std::string& relative, const std::string& bytes) const {
        m_folder.WriteFile(relative, bytes);
    }

    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    // Appends one workbench row with the seven data columns in column order.
    void AddRow(const std::vector<std::string>& values) {
        TableHandle& table = Workbench();
        if (!table.IsOpen()) {
            ASSERT_TRUE(table.CreateEmpty());
        }
        ASSERT_TRUE(table.Append());
        for (std::size_t i = 0; i < values.size(); ++i)
            ASSERT_TRUE(table.Field(i).SetString(values[i]));
        ASSERT_TRUE(table.Post());
    }

    // The seven data columns of every visible workbench row.
    std::vector<std::vector<std::string>> WorkbenchRows() {
        std::vector<std::vector<std::string>> rows;
        for (const RowView row : Workbench()) {
            std::vector<std::string> values;
            for (std::size_t i = 0; i < 7; ++i)
                values.emplace_back(row.AsString(i));
            rows.push_back(std::move(values));
        }
        return rows;
    }

    TempAppFolder m_folder;
    CLLang m_lang;
    RecordingProgress m_progress;
    TableHandle m_dataTable;
    std::unique_ptr<NegData> m_data;
};

} // namespace harvexa::test
