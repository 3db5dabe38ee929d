#pragma once

#include "dialogs.h"

#include <QFileDialog>
#include <memory>

// The real dialogs: message boxes titled "Ondaris", Qt's file dialogs, the desktop's URL handler.
class QtDialogs final : public Dialogs
{
public:
    static constexpr const char *Title = "Ondaris";

    bool confirmQuit(QWidget *parent) override;
    QString chooseNewRecording(QWidget *parent) override;
    QString chooseRecordingToView(QWidget *parent) override;
    void tell(QWidget *parent, const QString &text, bool warning) override;
    void openUrl(const QUrl &url) override;

    // The file dialog of the recordings: "*.csv" only, "csv" added to a bare name, a question
    // before replacing a file, the chosen folder existing.
    static std::unique_ptr<QFileDialog> recordingDialog(QWidget *parent, const QString &title,
                                                        const QString &proposed,
                                                        QFileDialog::AcceptMode mode);
};
