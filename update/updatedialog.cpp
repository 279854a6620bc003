#include "update/updatedialog.h"

#include "style/messageline.h"
#include "style/style.h"

#include <QEvent>
#include <QCloseEvent>
#include <QDebug>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>

UpdateDialog::UpdateDialog(QWidget *parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setFixedSize(800, 500);
    setAttribute(Qt::WA_TranslucentBackground);

    titleLabel = new QLabel(this);
    titleLabel->setGeometry(0, 0, 800, 32);
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setStyleSheet(Style::popupTitle);
    auto *body = new QLabel(this);
    body->setGeometry(0, 32, 800, 468);
    body->setStyleSheet(QStringLiteral("background-color:rgba(45,46,51,0.98);border-bottom-left-radius:2px;"
                                       "border-bottom-right-radius:2px"));

    iconLabel = new QLabel(this);
    iconLabel->setGeometry(0, 82, 800, 75);
    Style::showPicture(iconLabel, QStringLiteral(":/img/update_dg"));

    contentLabel = new QLabel(this);
    contentLabel->setGeometry(25, 250, 750, 142);
    contentLabel->setAlignment(Qt::AlignCenter);
    contentLabel->setStyleSheet(QStringLiteral(
        "background-color:rgba(0,0,0,0.14);border-radius:2px;font:14px;color:rgba(255,255,255,0.4)"));

    statusLabel = new QLabel(QStringLiteral("1.0.0"), this);
    statusLabel->setGeometry(Style::textBox({ 0, 180, 800, 18 }, 18));
    statusLabel->setAlignment(Qt::AlignCenter);
    statusLabel->setStyleSheet(QStringLiteral("font:18px;color:#2bac39"));

    messageLabel = new QLabel(this);
    messageLabel->setGeometry(Style::textBox({ 0, 208, 800, 14 }, 14));
    messageLabel->setAlignment(Qt::AlignCenter);
    // Closed "rgba(...)": without the parenthesis the sheet does not parse and the text falls back to the
    // default dark colour and font, unreadable on the dark body.
    messageLabel->setStyleSheet(QStringLiteral("font:14px;color:rgba(255,255,255,0.4)"));

    startButton = new QPushButton(this);
    startButton->setGeometry(308, 426, 184, 34);
    startButton->setStyleSheet(Style::pressButton);

    okButton = new QPushButton(this);
    okButton->setGeometry(308, 426, 184, 34);
    okButton->setStyleSheet(Style::pressButton);

    progressBar = new QProgressBar(this);
    progressBar->setGeometry(150, 442, 500, 2);
    progressBar->setRange(0, 100);
    progressBar->setValue(50);
    progressBar->setTextVisible(false);
    progressBar->setStyleSheet(QStringLiteral(
        "QProgressBar {background-color: #21262c} QProgressBar::chunk {background-color: #2bac39}"));

    retryButton = new QPushButton(this);
    retryButton->setGeometry(208, 426, 184, 34);
    closeButton = new QPushButton(this);
    closeButton->setGeometry(408, 426, 184, 34);
    for (QPushButton *button : { retryButton, closeButton }) {
        button->setStyleSheet(Style::pressButton);
        button->hide();
    }

    connect(startButton, &QPushButton::clicked, startButton, &QWidget::hide);
    connect(startButton, &QPushButton::clicked, progressBar, &QWidget::show);
    connect(okButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(retryButton, &QPushButton::clicked, retryButton, &QWidget::hide);
    connect(retryButton, &QPushButton::clicked, closeButton, &QWidget::hide);
    // Trying again is starting again, with whatever the start button is wired to.
    connect(retryButton, &QPushButton::clicked, startButton, &QPushButton::clicked);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);
    for (QLabel *line : { statusLabel, messageLabel })
        MessageLine::setUp(line);
    statusLines = [this] { showOfferLine(); };
    retranslateUi();
}

void UpdateDialog::retranslateUi()
{
    titleLabel->setText(tr("固件更新"));
    // The dialog's accessible name.
    setWindowTitle(titleLabel->text());
    progressBar->setAccessibleName(tr("固件升级进度"));
    startButton->setText(tr("开始更新"));
    okButton->setText(tr("确定"));
    retryButton->setText(tr("重试"));
    closeButton->setText(tr("关闭"));
    if (contentLabel->text() == contentPlaceholder) {
        contentPlaceholder = tr("升级内容:\n text here");
        contentLabel->setText(contentPlaceholder);
    }
    // During the transfer the main window, which runs it, words the status and the warning.
    if (statusLines)
        statusLines();
}

void UpdateDialog::showStatusLines(std::function<void()> lines)
{
    statusLines = std::move(lines);
    statusLines();
    MessageLine::announce(statusLabel);
    MessageLine::announce(messageLabel);
}

void UpdateDialog::showOfferLine()
{
    messageLabel->setText(tr("发现新的固件版本"));
}

void UpdateDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}

void UpdateDialog::setPhase(Phase phase)
{
    currentPhase = phase;
    if (phase == Phase::Transferring)
        statusLines = nullptr;
}

void UpdateDialog::showOutcome(std::function<void()> lines)
{
    showStatusLines(std::move(lines));
    progressBar->hide();
    startButton->hide();
    okButton->show();
}

void UpdateDialog::showRefused(FirmwareImageProblem problem)
{
    setPhase(Phase::Ready);
    showOutcome([this, problem] {
        statusLabel->setText(tr("无法升级固件"));
        switch (problem) {
        case FirmwareImageProblem::Empty:
            messageLabel->setText(tr("固件文件为空，未写入鼠标。"));
            break;
        case FirmwareImageProblem::NotVerified:
            messageLabel->setText(tr("固件文件未能确认下载完整，未写入鼠标。"));
            break;
        case FirmwareImageProblem::Changed:
        case FirmwareImageProblem::None:
            messageLabel->setText(tr("固件文件与下载完成时不一致，未写入鼠标。"));
            break;
        }
    });
}

void UpdateDialog::showTransferFailed(const QString &kept)
{
    setPhase(Phase::Ready);
    showStatusLines([this, kept] {
        statusLabel->setText(tr("固件升级失败"));
        messageLabel->setText(tr("固件未能完整写入鼠标，鼠标仍保留原固件V%1。请确认鼠标已连接，然后重试。").arg(kept));
    });
    progressBar->hide();
    okButton->hide();
    retryButton->show();
    closeButton->show();
}

void UpdateDialog::showWaiting(int seconds)
{
    setPhase(Phase::Waiting);
    showStatusLines([this, seconds] {
        statusLabel->setText(tr("正在等待鼠标重新连接..."));
        messageLabel->setText(tr("固件已写入，鼠标将重新启动。正在等待它报告新版本（最多%1秒）。").arg(seconds));
    });
    progressBar->hide();
}

void UpdateDialog::showNotTaken(const QString &reported)
{
    setPhase(Phase::Ready);
    showOutcome([this, reported] {
        statusLabel->setText(tr("固件升级未生效"));
        messageLabel->setText(tr("鼠标重新连接后报告的版本仍为V%1。").arg(reported));
    });
}

void UpdateDialog::showNoReturn(int seconds)
{
    setPhase(Phase::Ready);
    showOutcome([this, seconds] {
        statusLabel->setText(tr("未能确认升级结果"));
        messageLabel->setText(tr("鼠标在%1秒内没有重新连接，请重新插入鼠标后查看固件版本。").arg(seconds));
    });
}

void UpdateDialog::showVersionUnread()
{
    setPhase(Phase::Ready);
    showOutcome([this] {
        statusLabel->setText(tr("未能确认升级结果"));
        messageLabel->setText(tr("鼠标没有报告固件版本，请重新插入鼠标后查看固件版本。"));
    });
}

void UpdateDialog::explainHold(bool afterwards)
{
    qDebug() << (afterwards ? "quit held until the firmware transfer ends" : "close held during the firmware transfer");
    messageLabel->setText(afterwards ? tr("正在升级固件，程序将在升级完成后退出。")
                                     : tr("正在升级固件，完成前不能关闭窗口。"));
}

void UpdateDialog::reject()
{
    if (currentPhase == Phase::Transferring) {
        explainHold(false);
        return;
    }
    QDialog::reject();
}

void UpdateDialog::closeEvent(QCloseEvent *event)
{
    // A click outside the pop-up closes it: not while the image is being written.
    if (currentPhase == Phase::Transferring) {
        event->ignore();
        explainHold(false);
        return;
    }
    QDialog::closeEvent(event);
}

void UpdateDialog::update_finishi()
{
    setPhase(Phase::Ready);
    Style::showPicture(iconLabel, QStringLiteral(":/img/update_done"));
    showStatusLines([this] {
        statusLabel->setText(tr("固件升级已完成"));
        messageLabel->setText(tr("升级为版本V") + versionText);
    });
    progressBar->hide();
    okButton->show();
}

void UpdateDialog::showEvent(QShowEvent *event)
{
    if (currentPhase != Phase::Ready) {
        QDialog::showEvent(event);
        return;
    }
    statusLabel->setText(QStringLiteral("V") + versionText);
    showStatusLines([this] { showOfferLine(); });
    Style::showPicture(iconLabel, QStringLiteral(":/img/update_dg"));
    startButton->show();
    okButton->hide();
    progressBar->hide();
    retryButton->hide();
    closeButton->hide();
    QDialog::showEvent(event);
}
