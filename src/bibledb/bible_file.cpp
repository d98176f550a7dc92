#include "bibledb/bible_file.h"

namespace bibledb {

QString bibleFilePath(const QString& baseFolder, const QString& name) {
    return baseFolder + "\\HolyBibles\\" + name + ".mdb";
}

QString bibleConnectionString(const QString& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False";
}

} // namespace bibledb
