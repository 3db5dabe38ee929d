#pragma once

#include "app/widgets/dialogs.h"

#include <QList>
#include <QStringList>
#include <QUrl>

// Scripted answers for the program's questions, given at once; records what it told and
// opened. With shown set, its messages are also shown by those dialogs.
class FakeDialogs final : public Dialogs
{
public:
    Dialogs *shown = nullptr;
    bool quitAnswer = false;
    int quitQuestions = 0;
    bool resumeAnswer = true;
    QStringList resumeQuestions;
    QString newRecordingAnswer;
    QString viewAnswer;
    QString pictureAnswer;
    QString pictureProposed; // what the last picture dialog proposed
    QString spreadsheetAnswer;
    QString spreadsheetProposed;
    QStringList told;
    QWidget *toldOver = nullptr; // the parent of the last message
    QList<QUrl> opened;

    void askQuit(QWidget *, Answer answer) override
    {
        ++quitQuestions;
        answer(quitAnswer);
    }
    void askResume(QWidget *, const QString &question, int, Answer answer) override
    {
        resumeQuestions.append(question);
        answer(resumeAnswer);
    }
    QString chooseNewRecording(QWidget *) override { return newRecordingAnswer; }
    QString chooseRecordingToView(QWidget *) override { return viewAnswer; }
    QString choosePicture(QWidget *, const QString &proposed, const Refusal &refusal) override
    {
        pictureProposed = proposed;
        return unlessRefused(pictureAnswer, refusal);
    }
    QString chooseSpreadsheet(QWidget *, const QString &proposed, const Refusal &refusal) override
    {
        spreadsheetProposed = proposed;
        return unlessRefused(spreadsheetAnswer, refusal);
    }
    // A refused answer is told as the dialog tells it; the user then cancels.
    QString unlessRefused(const QString &answer, const Refusal &refusal)
    {
        const QString reason = refusal(answer);
        if (reason.isEmpty())
            return answer;
        told.append(reason);
        return {};
    }
    void tell(QWidget *parent, const QString &text, bool warning) override
    {
        told.append(text);
        toldOver = parent;
        if (shown)
            shown->tell(parent, text, warning);
    }
    void openUrl(const QUrl &url) override { opened.append(url); }
};
