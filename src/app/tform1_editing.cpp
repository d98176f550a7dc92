// TForm1: editing the verse views and saving them (key and mouse handlers, popup commands).
#include "app/tform1.h"

void TForm1::RE1KeyDown(int key, Qt::KeyboardModifiers shift) {
    // marks pane 1 edited
    (void)key;
    (void)shift;
}

void TForm1::RE2KeyDown(int key, Qt::KeyboardModifiers shift) {
    // marks pane 2 edited
    (void)key;
    (void)shift;
}

void TForm1::RE1MouseDown(Qt::MouseButton button, QPoint pos) {
    // right button: caret to the clicked place
    (void)button;
    (void)pos;
}

void TForm1::RE2MouseDown(Qt::MouseButton button, QPoint pos) {
    // right button: caret to the clicked place
    (void)button;
    (void)pos;
}

void TForm1::Forceernieuwedia1Click() {
    // NieuweDia on pane 1
}

void TForm1::Wissendiaovergang1Click() {
    // WisDia on pane 1
}

void TForm1::Tussenvoegenlegeregelindedia1Click() {
    // LegeRegelTussenvoegen on pane 1
}

void TForm1::Wissenlegeregel1Click() {
    // Wissenlegeregel on pane 1
}

void TForm1::Forceernieuwedia2Click() {
    // NieuweDia on pane 2
}

void TForm1::Wissendiaovergang2Click() {
    // WisDia on pane 2
}

void TForm1::Tussenvoegenlegeregelindedia2Click() {
    // LegeRegelTussenvoegen on pane 2
}

void TForm1::Wissenlegeregel2Click() {
    // Wissenlegeregel on pane 2
}

void TForm1::NieuweDia(int pane) {
    // inserts a slide change at the caret
    (void)pane;
}

void TForm1::WisDia(int pane) {
    // deletes the slide change at the caret
    (void)pane;
}

void TForm1::LegeRegelTussenvoegen(int pane) {
    // inserts an empty line at the caret
    (void)pane;
}

void TForm1::Wissenlegeregel(int pane) {
    // deletes the empty line at the caret
    (void)pane;
}

void TForm1::Savevers(int pane) {
    // writes the pane's view back into its row
    (void)pane;
}

void TForm1::FormFocusLost() {
    // saves edited panes and posts pending edits
}

void TForm1::FormDeactivate() {
    // runs FormFocusLost
}

void TForm1::saveEditedPanes() {
    // saves pane 1, then pane 2, when edited
}

void TForm1::closeStepPostEdits() {
    // saves edited panes and posts pending edits at close
}
