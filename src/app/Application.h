#pragma once
// The program's application object. Every command catches the errors it expects; this is the
// last net under all of them: an error that escapes an event handler is shown in the
// program's words and the program goes on, instead of ending with it.
#include <QApplication>

class TStickwellApplication : public QApplication {
public:
    TStickwellApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override;
};
