// The firmware update dialog: version on offer, description, start button, progress and finished state.
#ifndef UPDATEDIALOG_H
#define UPDATEDIALOG_H

#include "update/firmwareimage.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

class UpdateDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateDialog(QWidget *parent = nullptr);

    QLabel *iconLabel = nullptr;
    QLabel *contentLabel = nullptr;
    QLabel *statusLabel = nullptr;
    QLabel *messageLabel = nullptr;
    QPushButton *startButton = nullptr;
    QPushButton *okButton = nullptr;
    QProgressBar *progressBar = nullptr;
    // After a failed transfer: the same image again, or closing the dialog.
    QPushButton *retryButton = nullptr;
    QPushButton *closeButton = nullptr;
    QString versionText;

    void retranslateUi();
    // While the transfer runs the dialog cannot be closed; once it has ended, until the mouse is back, it keeps
    // its look when shown again.
    enum class Phase { Ready, Transferring, Waiting };
    void setPhase(Phase phase);
    Phase phase() const { return currentPhase; }

    // Nothing was sent: why.
    void showRefused(FirmwareImageProblem problem);
    // A data packet was refused: nothing was activated and the mouse keeps firmware `kept`.
    void showTransferFailed(const QString &kept);
    // The transfer has ended; the mouse is expected back within `seconds`.
    void showWaiting(int seconds);
    // The mouse came back and reports `reported` instead of the offered version.
    void showNotTaken(const QString &reported);
    // The mouse did not come back within `seconds`.
    void showNoReturn(int seconds);
    // After a transfer: the mouse came back but did not answer the version reads within the bound.
    void showVersionUnread();
    // Closing or quitting was asked for during the transfer; `afterwards` when the program will end after it.
    void explainHold(bool afterwards);

public slots:
    void update_finishi();
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QLabel *titleLabel = nullptr;
    // The placeholder shown until the firmware description arrives, as last translated.
    QString contentPlaceholder;
    void closeEvent(QCloseEvent *event) override;

private:
    // Sets the status and message lines in the language in use, and again after a language change.
    void showStatusLines(std::function<void()> lines);
    void showOutcome(std::function<void()> lines);
    void showOfferLine();

    std::function<void()> statusLines;

    Phase currentPhase = Phase::Ready;
};

#endif
