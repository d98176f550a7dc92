// The Go to box: one text field for a reference; Enter hands the text to the window, which
// moves and closes the box, or says what the reference lacks and leaves it open. Also the
// message that tells the user why a reference names no verse.
#pragma once
#include "bibledb/reference.h"
#include "texts/ui_texts.h"

#include <QDialog>

#include <functional>

class QLineEdit;

namespace app {

class GotoDialog : public QDialog {
    Q_OBJECT
public:
    GotoDialog(const texts::UiTexts& texts, QWidget* parent);
    // Called with the field's text on Enter; true closes the box.
    std::function<bool(const QString& text)> onEnter;
    QLineEdit* field() const { return field_; }

private:
    QLineEdit* field_;
};

// The message for a reference that names no verse, in the language of `texts`; `bookNames`
// as the reference was read against.
QString referenceMessage(const bibledb::Reference& reference, const QString& typed, const QStringList& bookNames,
                         const texts::UiTexts& texts);

} // namespace app
