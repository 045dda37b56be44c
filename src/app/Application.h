#pragma once

#include <QApplication>

// The program's application object. It is the top-level error handler: a failure of the
// data layer that escapes a command is shown in an error box and the event loop goes on.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    // The program's title. It is not the toolkit's display name, which the desktop would
    // append to every window caption.
    static QString Title() { return QStringLiteral("Журнал"); }

    bool notify(QObject* receiver, QEvent* event) override;

    // Ends the event loop as soon as the window has painted itself once; the start-up
    // benchmark measures the program from its start to its first picture this way.
    static void QuitAfterFirstPaint(QWidget* window);

    // Russian texts for the toolkit's own dialogs and buttons, whatever the user's locale.
    void InstallTranslations();
};
