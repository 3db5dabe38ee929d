#pragma once

#include <QString>
#include <functional>

class QUrl;
class QWidget;

// Everything that would stop the program on a modal question or open something outside it.
// The program passes QtDialogs; tests pass a scripted double and never block.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // "Arrêter l'enregistreur et quitter ?": true for Yes.
    virtual bool confirmQuit(QWidget *parent) = 0;
    // The question to resume an interrupted recording, Yes or No; Yes by itself once the seconds
    // have passed without an answer, counted down in the box.
    virtual bool confirmResume(QWidget *parent, const QString &question, int seconds) = 0;
    // The save dialog of a new recording file; an empty text when cancelled.
    virtual QString chooseNewRecording(QWidget *parent) = 0;
    // The open dialog of a recording to view; an empty text when cancelled.
    virtual QString chooseRecordingToView(QWidget *parent) = 0;
    // Why a path may not be chosen, in French; empty when it may.
    using Refusal = std::function<QString(const QString &path)>;
    // The save dialog of a picture of the chart, proposing a path; a refused path is told before
    // any question of overwriting it, the dialog staying open. An empty text when cancelled.
    virtual QString choosePicture(QWidget *parent, const QString &proposed, const Refusal &refusal)
        = 0;
    // The same for a spreadsheet export.
    virtual QString chooseSpreadsheet(QWidget *parent, const QString &proposed,
                                      const Refusal &refusal)
        = 0;
    // A message with an OK button only: information, or a problem when warning is set.
    virtual void tell(QWidget *parent, const QString &text, bool warning) = 0;
    // Opens a URL with the user's default program.
    virtual void openUrl(const QUrl &url) = 0;
};
