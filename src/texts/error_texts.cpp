#include "texts/error_texts.h"

#include "jet/error.h"

#include <map>

namespace texts {

namespace {

using jet::ErrorKind;

// %1 the file (NoColumn: the table), %2 and %3 as each kind says.
const std::map<ErrorKind, PerLanguage<QString>>& table() {
    static const std::map<ErrorKind, PerLanguage<QString>> texts{
        {ErrorKind::FileMissing,
         {{QStringLiteral("Het bestand '%1' is niet gevonden."), QStringLiteral("Could not find file '%1'."),
           QString::fromUtf8("Die Datei '%1' wurde nicht gefunden.")}}},
        {ErrorKind::NotJet4,
         {{QStringLiteral("%1 is geen Jet 4-database (Access 2000-2003, .mdb)."),
           QStringLiteral("%1 is not a Jet 4 database (Access 2000-2003, .mdb)."),
           QString::fromUtf8("%1 ist keine Jet-4-Datenbank (Access 2000-2003, .mdb).")}}},
        // %2 the table
        {ErrorKind::NoTable,
         {{QStringLiteral("%1 heeft geen tabel '%2': het is geen bijbel van Lumora."),
           QStringLiteral("%1 has no table '%2': it is not a Lumora bible."),
           QString::fromUtf8("%1 hat keine Tabelle '%2': es ist keine Bibel von Lumora.")}}},
        // %1 the table, %2 the column
        {ErrorKind::NoColumn,
         {{QStringLiteral("De tabel '%1' heeft geen kolom '%2'."), QStringLiteral("Table '%1' has no column '%2'."),
           QString::fromUtf8("Die Tabelle '%1' hat keine Spalte '%2'.")}}},
        // %2 the page, %3 the pages the file has
        {ErrorKind::Damaged,
         {{QStringLiteral("%1 is beschadigd of onvolledig: pagina %2 ligt voorbij het einde van het bestand (%3 "
                          "pagina's)"),
           QStringLiteral("%1 is damaged or incomplete: page %2 lies past the end of the file (%3 pages)"),
           QString::fromUtf8("%1 ist beschädigt oder unvollständig: Seite %2 liegt hinter dem Ende der Datei (%3 "
                             "Seiten)")}}},
        {ErrorKind::ReadOnly,
         {{QStringLiteral("%1: kan niet worden geopend om te schrijven (alleen-lezen of geen toestemming)"),
           QStringLiteral("%1: cannot be opened for writing (read-only or no permission)"),
           QString::fromUtf8("%1: kann nicht zum Schreiben geöffnet werden (schreibgeschützt oder keine "
                             "Berechtigung)")}}},
        {ErrorKind::Locked,
         {{QStringLiteral("%1: het bestand is vergrendeld door een ander programma. Sluit de bijbel daar voordat "
                          "Kantelo hem kan gebruiken."),
           QStringLiteral("%1: the file is locked by another program. Close the bible there before Kantelo can "
                          "use it."),
           QString::fromUtf8("%1: die Datei ist von einem anderen Programm gesperrt. Schließen Sie die Bibel dort, "
                             "bevor Kantelo sie verwenden kann.")}}},
        // %2 " (computer ..., user ...)" when the lock file tells who
        {ErrorKind::InUse,
         {{QStringLiteral("%1: een ander programma heeft deze bijbel geopend%2. Sluit de bijbel daar voordat "
                          "Kantelo er wijzigingen in kan opslaan."),
           QStringLiteral("%1: another program has this bible open%2. Close the bible there before Kantelo can "
                          "save changes to it."),
           QString::fromUtf8("%1: ein anderes Programm hat diese Bibel geöffnet%2. Schließen Sie die Bibel dort, "
                             "bevor Kantelo Änderungen daran speichern kann.")}}},
        {ErrorKind::DiskFull,
         {{QStringLiteral("De schijf is vol: %1 kon niet worden geschreven."),
           QStringLiteral("The disk is full: %1 could not be written."),
           QString::fromUtf8("Der Datenträger ist voll: %1 konnte nicht geschrieben werden.")}}},
        {ErrorKind::BackupFailed,
         {{QStringLiteral("Van %1 kon geen reservekopie worden gemaakt; er is niets gewijzigd."),
           QStringLiteral("No backup of %1 could be made, so nothing was changed."),
           QString::fromUtf8("Von %1 konnte keine Sicherung angelegt werden; nichts wurde geändert.")}}},
        {ErrorKind::CompactionRefused,
         {{QStringLiteral("%1 is niet gecomprimeerd; het bestand is niet veranderd."),
           QStringLiteral("%1 was not compacted; the file is unchanged."),
           QString::fromUtf8("%1 wurde nicht komprimiert; die Datei ist unverändert.")}}},
    };
    return texts;
}

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QString worded(const jet::Error& error, Language language) {
    const auto it = table().find(error.kind());
    if (it == table().end()) return {};
    const jet::ErrorFacts& f = error.facts();
    const QString& text = it->second[language];
    switch (error.kind()) {
    case ErrorKind::NoTable: return text.arg(fromUtf8(f.path), fromUtf8(f.table));
    case ErrorKind::NoColumn: return text.arg(fromUtf8(f.table), fromUtf8(f.column));
    case ErrorKind::Damaged: return text.arg(fromUtf8(f.path), QString::number(f.page), QString::number(f.pages));
    case ErrorKind::InUse:
        return text.arg(fromUtf8(f.path), f.holder.empty() ? QString() : " (" + fromUtf8(f.holder) + ")");
    default: return text.arg(fromUtf8(f.path));
    }
}

} // namespace

QString errorMessage(const std::exception& error, Language language) {
    const QString technical = QString::fromUtf8(error.what());
    const auto* engine = dynamic_cast<const jet::Error*>(&error);
    const QString text = engine ? worded(*engine, language) : QString();
    if (text.isEmpty()) return technical;
    // The wording of these kinds holds every fact the engine's text gives.
    const bool factsWorded = engine && (engine->kind() == jet::ErrorKind::InUse || engine->kind() == jet::ErrorKind::Locked);
    if (technical.isEmpty() || factsWorded || text.contains(technical)) return text;
    return text + "\n(" + technical + ")";
}

} // namespace texts
