#include "texts/leftover_texts.h"

#include "texts/language.h"

namespace texts {

namespace {

QString lines(const QStringList& paths) { return "\n  " + paths.join("\n  "); }

struct StrandedTexts {
    QString restored;    // followed by the paths renamed back
    QString notRestored; // followed by the paths still under the temporary name
};

} // namespace

QString strandedAtStartMessage(const QString& languageCode, const StrandedReport& report) {
    static const PerLanguage<StrandedTexts> table{{{
        {QStringLiteral("Na een onderbroken comprimering stond deze database alleen onder de tijdelijke "
                        "naam (met een x achter .mdb); hij is teruggezet:"),
         QStringLiteral("Deze database staat alleen onder de tijdelijke naam en kon niet worden "
                        "teruggezet; hernoem het bestand naar .mdb om hem weer te gebruiken:")},
        {QStringLiteral("After a compaction that did not finish, this database was stored only under "
                        "its temporary name (an x after .mdb); it has been renamed back:"),
         QStringLiteral("This database is stored only under its temporary name and could not be "
                        "renamed back; rename the file to .mdb to use it again:")},
        {QString::fromUtf8("Nach einer unterbrochenen Komprimierung lag diese Datenbank nur unter dem "
                           "vorläufigen Namen (mit x nach .mdb); sie wurde zurückbenannt:"),
         QString::fromUtf8("Diese Datenbank liegt nur unter dem vorläufigen Namen und konnte nicht "
                           "zurückbenannt werden; benennen Sie die Datei in .mdb um, um sie wieder zu "
                           "verwenden:")},
    }}};
    const StrandedTexts& t = table[languageCode];
    QStringList parts;
    if (!report.restored.isEmpty()) parts << t.restored + lines(report.restored);
    if (!report.notRestored.isEmpty()) parts << t.notRestored + lines(report.notRestored);
    return parts.join("\n\n");
}

QString compactionBlockedMessage(const QString& languageCode, const QString& database, const QString& leftover) {
    static const PerLanguage<QString> text{{
        QStringLiteral("De database %1 is niet gecomprimeerd: het bestand %2 van een eerdere comprimering "
                       "staat in de weg.\nVerwijder dat bestand, dan wordt %1 bij de volgende keer "
                       "afsluiten weer gecomprimeerd."),
        QStringLiteral("The database %1 was not compacted: the file %2, left over from an earlier compaction, "
                       "is in the way.\nRemove that file and %1 is compacted again the next time Kantelo "
                       "closes."),
        QString::fromUtf8("Die Datenbank %1 wurde nicht komprimiert: die Datei %2 einer früheren "
                          "Komprimierung ist im Weg.\nEntfernen Sie diese Datei, dann wird %1 beim "
                          "nächsten Schließen wieder komprimiert."),
    }};
    return text[languageCode].arg(database, leftover);
}

} // namespace texts
