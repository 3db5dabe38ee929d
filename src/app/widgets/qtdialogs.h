#pragma once

#include "dialogs.h"

// The real dialogs: message boxes titled "Ondaris", Qt's file dialogs, the desktop's URL handler.
class QtDialogs final : public Dialogs
{
public:
    static constexpr const char *Title = "Ondaris";

    bool confirmQuit(QWidget *parent) override;
    bool confirmResume(QWidget *parent, const QString &question, int seconds) override;
    QString chooseNewRecording(QWidget *parent) override;
    QString chooseRecordingToView(QWidget *parent) override;
    QString choosePicture(QWidget *parent, const QString &proposed,
                          const Refusal &refusal) override;
    QString chooseSpreadsheet(QWidget *parent, const QString &proposed,
                              const Refusal &refusal) override;
    void tell(QWidget *parent, const QString &text, bool warning) override;
    void openUrl(const QUrl &url) override;
};
