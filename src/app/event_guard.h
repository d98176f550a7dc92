// The event guard: the one place where an error raised by a handler is caught. It turns the
// error into the program's message box so that no exception crosses Qt's event loop.
#pragma once
#include "texts/language.h"

#include <QString>

#include <functional>
#include <stdexcept>

namespace app {

// The error type of the program shell (settings file and the like).
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// Runs the handler of one window event. At an event boundary an error (any std::exception,
// jet::Error and data::DataError included) ends the handler and is shown with its text in the
// message box; the result is then false. A guarded call made from inside a running handler on
// the same boundary (a signal a handler emits itself) lets the error pass up to that outer
// boundary, so one failure shows one box. Events that run inside a handler, through
// processPendingEvents() or a modal dialog's own loop, are boundaries of their own.
bool runGuarded(const std::function<void()>& handler);

// Lets the waiting events run once; they run as new event boundaries.
void processPendingEvents();

// The text of an error as shown to the user, in the language set last (English at first): the
// errors a user can meet worded in it (texts/error_texts.h), any other by its own text.
QString errorText(const std::exception& error);
void setErrorLanguage(texts::Language language);

// How many errors the guard has shown so far: a long run compares it to notice an error raised
// by an event that ran in the middle of it.
int errorsShown();

} // namespace app
