// TForm1: opening bibles, the book list and navigation (handlers of the bible panes).
#include "app/tform1.h"

void TForm1::ComboBox1Change() {
    // opens bible version 1 in pane 1
}

void TForm1::ComboBox3Change() {
    // opens bible version 2 in pane 2, then reopens pane 1
}

void TForm1::Laadbijbelboekenlijst() {
    // fills BookList and ComboBox2 from pane 1's book-name rows
}

void TForm1::ComboBox2Change() {
    // puts both panes on chapter 1 of the chosen book
}

void TForm1::SpeedButton1Click() {
    // previous verse
}

void TForm1::SpeedButton2Click() {
    // next verse
}

void TForm1::SpeedButton3Click() {
    // previous chapter
}

void TForm1::SpeedButton4Click() {
    // next chapter
}

void TForm1::FormMouseWheel(int wheelDelta) {
    // one verse step per wheel message
    (void)wheelDelta;
}

void TForm1::ADOQuery1AfterScroll() {
    // refills RE1 from pane 1's current row
}

void TForm1::ADOQuery2AfterScroll() {
    // refills RE2 from pane 2's current row
}

void TForm1::closeStepReleaseConnections() {
    // releases ADOConnection1, then ADOConnection2
}
