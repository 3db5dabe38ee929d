#pragma once

#include "app/dialogs.h"

#include <QList>
#include <QStringList>
#include <QUrl>

// Scripted answers for the program's questions; records what it told and opened.
class FakeDialogs final : public Dialogs
{
public:
    bool quitAnswer = false;
    int quitQuestions = 0;
    QString newRecordingAnswer;
    QString viewAnswer;
    QString pictureAnswer;
    QString pictureProposed; // what the last picture dialog proposed
    QString spreadsheetAnswer;
    QString spreadsheetProposed;
    QStringList told;
    QWidget *toldOver = nullptr; // the parent of the last message
    QList<QUrl> opened;

    bool confirmQuit(QWidget *) override
    {
        ++quitQuestions;
        return quitAnswer;
    }
    QString chooseNewRecording(QWidget *) override { return newRecordingAnswer; }
    QString chooseRecordingToView(QWidget *) override { return viewAnswer; }
    QString choosePicture(QWidget *, const QString &proposed) override
    {
        pictureProposed = proposed;
        return pictureAnswer;
    }
    QString chooseSpreadsheet(QWidget *, const QString &proposed) override
    {
        spreadsheetProposed = proposed;
        return spreadsheetAnswer;
    }
    void tell(QWidget *parent, const QString &text, bool) override
    {
        told.append(text);
        toldOver = parent;
    }
    void openUrl(const QUrl &url) override { opened.append(url); }
};
