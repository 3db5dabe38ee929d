#pragma once

#include "dialogs.h"

#include <QList>
#include <QPointer>

class QMessageBox;

// The real dialogs: message boxes titled "Ondaris" that wait without blocking anything, Qt's
// file dialogs, the desktop's URL handler.
class QtDialogs final : public Dialogs
{
public:
    static constexpr const char *Title = "Ondaris";

    QtDialogs() = default;
    QtDialogs(const QtDialogs &) = delete;
    QtDialogs &operator=(const QtDialogs &) = delete;
    ~QtDialogs() override;

    void askQuit(QWidget *parent, Answer answer) override;
    void askResume(QWidget *parent, const QString &question, int seconds, Answer answer) override;
    QString chooseNewRecording(QWidget *parent) override;
    QString chooseRecordingToView(QWidget *parent) override;
    QString choosePicture(QWidget *parent, const QString &proposed,
                          const Refusal &refusal) override;
    QString chooseSpreadsheet(QWidget *parent, const QString &proposed,
                              const Refusal &refusal) override;
    void tell(QWidget *parent, const QString &text, bool warning) override;
    void openUrl(const QUrl &url) override;

    // The boxes on screen that wait for an answer, oldest first.
    QList<QMessageBox *> waiting() const;

private:
    // Shows the box over parent without waiting for it, where no other waiting box hides it.
    void showWaiting(QMessageBox *box, QWidget *parent);
    // The question's box, asked once: a second ask while it waits brings it forward.
    void ask(QMessageBox *box, QWidget *parent, Answer answer);

    QList<QPointer<QMessageBox>> m_waiting;
};
