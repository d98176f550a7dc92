// The read-everything path over an in-memory file.
#include "jet/read_all.h"

#include "jet/database_impl.h"

namespace jet {

size_t readWholeDatabase(const uint8_t* data, size_t size) {
    auto db = openMemoryDatabase(Bytes(data, data + size), "fuzz input");
    size_t values = 0;
    for (const auto& name : db->tableNames()) {
        try {
            TableSchema schema = db->schema(name);
            ResultSet all = db->readTable(name);
            for (const auto& row : all.rows) values += row.values.size();
            if (!schema.columns.empty()) {
                // Brackets keep odd names intact; ORDER BY drives the comparison code.
                std::string sql = "SELECT * FROM [" + name + "] ORDER BY [" + schema.columns[0].name + "] DESC";
                if (name.find(']') == std::string::npos && schema.columns[0].name.find(']') == std::string::npos)
                    values += db->query(sql).rows.size();
            }
        } catch (const Error&) {
            // One damaged table must not hide the others.
        }
    }
    return values;
}

} // namespace jet
