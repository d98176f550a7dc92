#include "texts/messages.h"

#include "texts/language.h"

namespace texts {

QString noVerseRowMessage(const QString& languageCode) {
    static const PerLanguage<QString> text{{
        QStringLiteral("Er is hier geen vers in de database: deze wijziging is niet opgeslagen."),
        QStringLiteral("There is no verse in the database here: this change was not saved."),
        QString::fromUtf8("Hier gibt es keinen Vers in der Datenbank: diese Änderung wurde nicht gespeichert."),
    }};
    return text[languageCode];
}

QString strandedDatabaseMessage(const QString& languageCode, const QString& path, const QString& strandedAt) {
    static const PerLanguage<QString> text{{
        QStringLiteral("De database %1 kon na het comprimeren niet worden teruggezet.\n"
                       "Hij staat nu in %2.\nHernoem dat bestand naar %1 om hem weer te gebruiken."),
        QStringLiteral("The database %1 could not be put back after compacting.\n"
                       "It is now stored as %2.\nRename that file to %1 to use it again."),
        QString::fromUtf8("Die Datenbank %1 konnte nach dem Komprimieren nicht zurückbenannt werden.\n"
                          "Sie liegt jetzt in %2.\nBenennen Sie diese Datei in %1 um, um sie wieder zu verwenden."),
    }};
    return text[languageCode].arg(path, strandedAt);
}

} // namespace texts
