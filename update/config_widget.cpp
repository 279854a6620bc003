#include "update/config_widget.h"

#include "update/appversion.h"
#include "update/updatedialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

const QString rowStyle = QStringLiteral("border:none;background-color:rgba(255,255,255,0.03);");
// Without "border:none" the platform style draws its own frame, which punches black holes in the translucent
// window; the marker and the arrow beneath the button must show through.
const QString versionButtonStyle = QStringLiteral(
    "border:none;background-color:transparent;padding-right:20px;text-align:right;font-size:12px;"
    "color:rgba(255,255,255,0.7)");

QLabel *pictureLabel(const QString &path, const QRect &geometry, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setPixmap(QPixmap(path));
    return label;
}

QLabel *textLabel(const QString &text, const QRect &geometry, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(geometry);
    return label;
}

QPushButton *versionButton(const QString &text, const QRect &geometry, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    button->setStyleSheet(versionButtonStyle);
    return button;
}

} // namespace

config_Widget::config_Widget(QWidget *parent)
    : QWidget(parent)
{
    setStyleSheet(QStringLiteral("QLabel{background-color:transparent;margin:0px;font:12px;"
                                 "color:rgba(255,255,255,0.7)}"
                                 "QLabel:disabled{background-color:transparent;margin:0px;font:12px;"
                                 "color:rgba(255,255,255,0.3)}"));

    QLabel *logo = pictureLabel(QStringLiteral(":/img/config_logo"), { 0, 150, 1200, 60 }, this);
    logo->setAlignment(Qt::AlignHCenter);
    QLabel *product = textLabel(QStringLiteral("TARNO DUVERUR"), { 0, 230, 1200, 18 }, this);
    product->setAlignment(Qt::AlignHCenter);
    product->setStyleSheet(QStringLiteral("background-color:transparent;font:18px;color:rgba(255,255,255,0.04)"));

    textLabel(QString(), { 280, 320, 640, 34 }, this)->setStyleSheet(rowStyle);
    textLabel(tr("固件版本信息"), { 300, 331, 100, 12 }, this);
    fwUpdateMark = pictureLabel(QStringLiteral(":/img/update"), { 880, 336, 6, 6 }, this);
    fwUpdateMark->hide();
    fwVersionButton = versionButton(QStringLiteral("Version: 1.0.0"), { 700, 331, 200, 13 }, this);
    fwVersionButton->hide();
    pictureLabel(QStringLiteral(":/img/show_more"), { 892, 330, 8, 14 }, this);

    textLabel(QString(), { 280, 364, 640, 34 }, this)->setStyleSheet(rowStyle);
    textLabel(tr("软件版本信息"), { 300, 375, 100, 12 }, this);
    appUpdateMark = pictureLabel(QStringLiteral(":/img/update"), { 880, 380, 6, 6 }, this);
    appUpdateMark->hide();
    appVersionButton = versionButton(QStringLiteral("Version: ") + AppVersion::own().text(), { 700, 375, 200, 13 },
                                     this);
    pictureLabel(QStringLiteral(":/img/show_more"), { 892, 374, 8, 14 }, this);

    textLabel(tr("语言"), { 300, 429, 50, 12 }, this)->hide();
    languageBox = new QComboBox(this);
    languageBox->setGeometry(360, 425, 150, 20);
    languageBox->addItems({ QStringLiteral("简体中文"), QStringLiteral("繁体中文") });
    languageBox->setStyleSheet(QStringLiteral(
        "QComboBox {border-width:1px;border-style:solid;border-color: #434343;border-radius:3px;"
        "color:rgba(255,255,255,0.7);padding-left:30px;font-size:12px;background:#292b2d;}"));
    languageBox->hide();

    updateDialog = new UpdateDialog(this);

    noticeLabel = textLabel(QString(), { 280, 292, 640, 16 }, this);
    noticeLabel->setObjectName(QStringLiteral("noticeLabel"));
    noticeLabel->setAlignment(Qt::AlignCenter);
    // The firmware dialog's message line.
    noticeLabel->setStyleSheet(QStringLiteral("font:14px;color:rgba(255,255,255,0.4)"));
    noticeLabel->hide();
}

void config_Widget::showFirmwareNotTaken(const QString &reported, const QString &offered)
{
    noticeLabel->setText(tr("固件升级未生效：鼠标仍为版本V%1，未升级到V%2").arg(reported, offered));
    noticeLabel->show();
}

void config_Widget::showStartFailure(const QString &executable)
{
    noticeLabel->setText(tr("新版本程序无法启动：%1").arg(executable));
    noticeLabel->show();
}

void config_Widget::clearNotice()
{
    noticeLabel->clear();
    noticeLabel->hide();
}

void config_Widget::showFirmwareVersion(const QString &text)
{
    fwVersionButton->setText(text);
    fwVersionButton->disconnect();
    fwVersionButton->show();
}
