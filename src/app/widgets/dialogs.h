#pragma once

#include <QString>
#include <functional>

class QUrl;
class QWidget;

// Everything that asks the user or opens something outside the program. A message or a
// question never waits inside the caller: it is answered later, in the given function, so the
// refresh and the sampling go on while it waits. The program passes QtDialogs; tests pass a
// scripted double.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    using Answer = std::function<void(bool yes)>;
    // "Arrêter l'enregistreur et quitter ?", Yes or No.
    virtual void askQuit(QWidget *parent, Answer answer) = 0;
    // The question to resume an interrupted recording, Yes or No; Yes by itself once the seconds
    // have passed without an answer, counted down in the box.
    virtual void askResume(QWidget *parent, const QString &question, int seconds, Answer answer)
        = 0;
    // The file dialogs below are opened from a menu, never from a timer: the timers run while
    // they wait. The save dialog of a new recording file; an empty text when cancelled.
    virtual QString chooseNewRecording(QWidget *parent) = 0;
    // The open dialog of a recording to view; an empty text when cancelled.
    virtual QString chooseRecordingToView(QWidget *parent) = 0;
    // Why a path may not be chosen, in French; empty when it may.
    using Refusal = std::function<QString(const QString &path)>;
    // The save dialog of a picture of the chart, proposing a path; a refused path is told before
    // any question of overwriting it, the dialog staying open. An empty text when cancelled.
    virtual QString choosePicture(QWidget *parent, const QString &proposed, const Refusal &refusal)
        = 0;
    // The same for a spreadsheet export: a CSV file or a workbook (".xlsx"), the type chosen in
    // the dialog or named by the suffix typed.
    virtual QString chooseSpreadsheet(QWidget *parent, const QString &proposed,
                                      const Refusal &refusal)
        = 0;
    // A message with an OK button only: information, or a problem when warning is set. It stays
    // on screen, over parent, until answered; the same text still waiting is not shown twice,
    // and messages waiting together are all in sight.
    virtual void tell(QWidget *parent, const QString &text, bool warning) = 0;
    // Opens a URL with the user's default program.
    virtual void openUrl(const QUrl &url) = 0;
};
