// TForm1: applying an interface language and the language menu.
#include "app/tform1.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

void TForm1::applyTexts(const texts::UiTexts& language) {
    Label3->setText(language.label3Caption);
    Label5->setText(language.label5Caption);
    Label1->setText(language.label1Caption);
    Label8->setText(language.label8Caption);
    Label2->setText(language.label2Caption);
    setWindowTitle(language.windowTitle);
    // The help box is emptied and refilled, one block per line.
    Help1->clear();
    Help1->setPlainText(language.helpLines.join(QLatin1Char('\n')));
    Wissenlegeregel1->setText(language.wissenlegeregel1Caption);
    Wissendiaovergang1->setText(language.wissendiaovergang1Caption);
    Forceernieuwedia1->setText(language.forceernieuwedia1Caption);
    Tussenvoegenlegeregelindedia1->setText(language.tussenvoegenlegeregelindedia1Caption);
    Options1->setText(language.options1Caption);
    Extra1->setText(language.extra1Caption);
    RestoreBackup1->setText(language.restoreBackup1Caption);
    CheckBox1->setText(language.checkBox1Caption);
    CheckBox1->setToolTip(language.checkBox1Hint);
    CheckBox2->setText(language.checkBox2Caption);
    CheckBox2->setToolTip(language.checkBox2Hint);
    BitBtn2->setText(language.bitBtn2Caption);
    BitBtn1->setText(language.bitBtn1Caption);
    applyExtraTexts(language);
    applyFormatTexts(language);
    // Marker lines and messages: read by the editing, saving and whole-bible handlers.
    texts = language;
}

void TForm1::LoadNLtekst() { applyTexts(texts::dutchTexts()); }
void TForm1::LoadUKtekst() { applyTexts(texts::englishTexts()); }
void TForm1::LoadDetekst() { applyTexts(texts::germanTexts()); }

void TForm1::TaalSelect(const QString& code) {
    if (code == QLatin1String("UK")) LoadUKtekst();
    if (code == QLatin1String("NL")) LoadNLtekst();
    if (code == QLatin1String("DE")) LoadDetekst();
}

void TForm1::UKClick() {
    UK->setChecked(true);
    NL1->setChecked(false);
    DE1->setChecked(false);
    TaalSelect(QStringLiteral("UK"));
    languageCode = QStringLiteral("UK");
}

void TForm1::NL1Click() {
    UK->setChecked(false);
    NL1->setChecked(true);
    DE1->setChecked(false);
    TaalSelect(QStringLiteral("NL"));
    languageCode = QStringLiteral("NL");
}

void TForm1::DE1Click() {
    UK->setChecked(false);
    NL1->setChecked(false);
    DE1->setChecked(true);
    TaalSelect(QStringLiteral("DE"));
    languageCode = QStringLiteral("DE");
}
