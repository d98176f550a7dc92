#include "data/connection_string.h"

#include "data/dataset.h"

namespace data {

namespace {

// One "key=value" pair starting at `pos`; leaves `pos` after its ";".
bool nextPair(const QString& text, qsizetype& pos, QString& key, QString& value) {
    while (pos < text.size() && (text[pos] == ';' || text[pos].isSpace())) ++pos;
    if (pos >= text.size()) return false;
    const qsizetype eq = text.indexOf('=', pos);
    const qsizetype semi = text.indexOf(';', pos);
    if (eq < 0 || (semi >= 0 && semi < eq))
        throw DataError("Invalid connection string: \"" +
                        text.mid(pos, semi < 0 ? -1 : semi - pos).toStdString() + "\" has no \"=\".");
    key = text.mid(pos, eq - pos).trimmed();
    pos = eq + 1;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
        const QChar quote = text[pos];
        const qsizetype end = text.indexOf(quote, pos + 1);
        if (end < 0) throw DataError("Invalid connection string: a quoted value is not closed.");
        value = text.mid(pos + 1, end - pos - 1);
        pos = end + 1;
        const qsizetype after = text.indexOf(';', pos);
        pos = after < 0 ? text.size() : after + 1;
    } else {
        const qsizetype end = semi < 0 ? text.size() : semi;
        value = text.mid(pos, end - pos).trimmed();
        pos = end + (semi < 0 ? 0 : 1);
    }
    return true;
}

} // namespace

ConnectionSettings parseConnectionString(const QString& text) {
    ConnectionSettings settings;
    bool haveProvider = false;
    qsizetype pos = 0;
    QString key, value;
    while (nextPair(text, pos, key, value)) {
        if (key.compare("Provider", Qt::CaseInsensitive) == 0) {
            settings.provider = value;
            haveProvider = true;
        } else if (key.compare("Data Source", Qt::CaseInsensitive) == 0) {
            settings.dataSource = value;
        }
    }
    if (!haveProvider || settings.provider.isEmpty())
        throw DataError("The connection string names no provider; expected Provider=" +
                        std::string(kJetProvider) + ".");
    if (settings.provider.compare(kJetProvider, Qt::CaseInsensitive) != 0)
        throw DataError("Provider \"" + settings.provider.toStdString() +
                        "\" is not supported; only " + kJetProvider + " opens bible files.");
    if (settings.dataSource.isEmpty())
        throw DataError("The connection string names no Data Source (database file).");
    return settings;
}

} // namespace data
