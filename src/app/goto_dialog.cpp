#include "app/goto_dialog.h"

#include "app/event_guard.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace app {

GotoDialog::GotoDialog(const texts::UiTexts& texts, QWidget* parent) : QDialog(parent) {
    setWindowTitle(texts.gotoTitle);
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(texts.gotoPrompt, this);
    field_ = new QLineEdit(this);
    field_->setMinimumWidth(260);
    prompt->setBuddy(field_);
    layout->addWidget(prompt);
    layout->addWidget(field_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(field_, &QLineEdit::returnPressed, this, [this] {
        bool done = false;
        // The move runs inside this box's event loop: an error ends it here, in a message box.
        app::runGuarded([&] { done = onEnter && onEnter(field_->text()); });
        if (done) accept();
    });
}

QString referenceMessage(const bibledb::Reference& reference, const QString& typed, const QStringList& bookNames,
                         const texts::UiTexts& texts) {
    using bibledb::ReferenceError;
    const bibledb::VersePlace& place = reference.place;
    const QString book = place.book >= 1 && place.book <= bookNames.size() ? bookNames[place.book - 1] : QString();
    switch (reference.error) {
    case ReferenceError::None: return {};
    case ReferenceError::NotAReference: return texts.msgNotAReference.arg(typed.trimmed());
    case ReferenceError::NoSuchBook: return texts.msgNoSuchBook.arg(reference.bookText);
    case ReferenceError::AmbiguousBook:
        return texts.msgAmbiguousBook.arg(reference.bookText, reference.candidates.join(QStringLiteral(", ")));
    case ReferenceError::NoSuchChapter:
        return texts.msgNoSuchChapter.arg(book).arg(place.chapter).arg(reference.last);
    case ReferenceError::NoSuchVerse:
        return texts.msgNoSuchVerse.arg(book).arg(place.chapter).arg(place.verse).arg(reference.last);
    }
    return {};
}

} // namespace app
