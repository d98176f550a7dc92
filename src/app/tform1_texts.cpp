// TForm1: applying an interface language and the language menu.
#include "app/tform1.h"

#include "app/event_guard.h"

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

void TForm1::LoadNLtekst() { applyTexts(texts::uiTexts(texts::Language::NL)); }
void TForm1::LoadUKtekst() { applyTexts(texts::uiTexts(texts::Language::UK)); }
void TForm1::LoadDetekst() { applyTexts(texts::uiTexts(texts::Language::DE)); }

void TForm1::TaalSelect(const QString& code) {
    static const texts::PerLanguage<void (TForm1::*)()> loaders{
        {&TForm1::LoadNLtekst, &TForm1::LoadUKtekst, &TForm1::LoadDetekst}};
    if (const auto language = texts::languageOfCode(code)) {
        (this->*loaders[*language])();
        app::setErrorLanguage(*language);
    }
}

QAction* TForm1::languageItem(texts::Language language) const {
    const texts::PerLanguage<QAction*> items{{NL1, UK, DE1}};
    return items[language];
}

void TForm1::chooseLanguage(texts::Language language) {
    for (texts::Language other : texts::kLanguages) languageItem(other)->setChecked(other == language);
    TaalSelect(texts::codeOf(language));
    languageCode = texts::codeOf(language);
}

void TForm1::UKClick() { chooseLanguage(texts::Language::UK); }
void TForm1::NL1Click() { chooseLanguage(texts::Language::NL); }
void TForm1::DE1Click() { chooseLanguage(texts::Language::DE); }
