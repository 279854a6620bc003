#include "update/config_widget.h"

#include "device/mouselink.h"
#include "platform/autostart.h"
#include "profile/profiledevice.h"
#include "profile/profilefile.h"
#include "style/messageline.h"
#include "style/style.h"
#include "update/appversion.h"
#include "update/updatedialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextDocument>

namespace {

const QString rowStyle = QStringLiteral("border:none;background-color:rgba(255,255,255,0.03);");
// Without "border:none" the platform style draws its own frame, which punches black holes in the translucent
// window; the marker and the arrow beneath the button must show through.
const QString versionButtonStyle = QStringLiteral(
    "QPushButton{border:none;background-color:transparent;padding-right:20px;text-align:right;font-size:12px;"
    "color:rgba(255,255,255,0.7)}"
    "QPushButton:focus{border:1px solid rgba(255,255,255,0.6);}");

QLabel *pictureLabel(const QString &path, const QRect &geometry, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setGeometry(geometry);
    Style::showPicture(label, path);
    return label;
}

QLabel *textLabel(const QString &text, const QRect &geometry, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(Style::textBox(geometry));
    return label;
}

QPushButton *versionButton(const QString &text, const QRect &geometry, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    button->setStyleSheet(versionButtonStyle);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QString profileFolder(const QString &lastPath)
{
    if (!lastPath.isEmpty())
        return QFileInfo(lastPath).absolutePath();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

config_Widget::config_Widget(MouseLink &link, QWidget *parent)
    : QWidget(parent)
    , link(link)
{
    setStyleSheet(QStringLiteral("QLabel{background-color:transparent;margin:0px;font:12px;"
                                 "color:rgba(255,255,255,0.7)}"
                                 "QLabel:disabled{background-color:transparent;margin:0px;font:12px;"
                                 "color:rgba(255,255,255,0.3)}"));

    pictureLabel(QStringLiteral(":/img/config_logo"), { 0, 150, 1200, 60 }, this);
    QLabel *product = textLabel(QStringLiteral("TARNO DUVERUR"), { 0, 230, 1200, 18 }, this);
    product->setAlignment(Qt::AlignHCenter);
    product->setStyleSheet(QStringLiteral("background-color:transparent;font:18px;color:rgba(255,255,255,0.04)"));

    textLabel(QString(), { 280, 320, 640, 34 }, this)->setStyleSheet(rowStyle);
    fwCaption = textLabel(QString(), { 300, 331, 100, 12 }, this);
    fwUpdateMark = pictureLabel(QStringLiteral(":/img/update"), { 880, 336, 6, 6 }, this);
    fwUpdateMark->hide();
    fwVersionButton = versionButton(QStringLiteral("Version: 1.0.0"), { 700, 331, 200, 13 }, this);
    fwVersionButton->hide();
    pictureLabel(QStringLiteral(":/img/show_more"), { 892, 330, 8, 14 }, this);

    textLabel(QString(), { 280, 364, 640, 34 }, this)->setStyleSheet(rowStyle);
    appCaption = textLabel(QString(), { 300, 375, 100, 12 }, this);
    appUpdateMark = pictureLabel(QStringLiteral(":/img/update"), { 880, 380, 6, 6 }, this);
    appUpdateMark->hide();
    appVersionButton = versionButton(QStringLiteral("Version: ") + AppVersion::own().text(), { 700, 375, 200, 13 },
                                     this);
    pictureLabel(QStringLiteral(":/img/show_more"), { 892, 374, 8, 14 }, this);

    // Wider than the two characters of the simplified caption need: "Language" takes 52 px.
    languageCaption = textLabel(QString(), { 300, 429, 56, 12 }, this);
    languageBox = new QComboBox(this);
    languageBox->setGeometry(360, 425, 150, 20);
    // Each language named in itself, in the order of InterfaceLanguage::Language.
    languageBox->addItems({ QStringLiteral("简体中文"), QStringLiteral("繁體中文"), QStringLiteral("English") });
    languageBox->setStyleSheet(QStringLiteral(
        "QComboBox {border-width:1px;border-style:solid;border-color: #434343;border-radius:3px;"
        "color:rgba(255,255,255,0.7);padding-left:30px;font-size:12px;background:#292b2d;}"
        "QComboBox QAbstractItemView{border:1px solid #434343;background:#292b2d;color:rgba(255,255,255,0.7);"
        "selection-background-color:#2bac39;selection-color:white;outline:none;}"
        "QComboBox:focus{border-color:#2bac39;}"));
    languageBox->setObjectName(QStringLiteral("languageBox"));
    languageStatusLabel = textLabel(QString(), { 520, 429, 380, 12 }, this);
    languageStatusLabel->setObjectName(QStringLiteral("languageStatusLabel"));

    updateDialog = new UpdateDialog(this);

    // Below the language row, which may be shown.
    textLabel(QString(), { 280, 470, 640, 34 }, this)->setStyleSheet(rowStyle);
    profileCaption = textLabel(QString(), { 300, 481, 100, 12 }, this);
    exportButton = new QPushButton(this);
    exportButton->setGeometry(710, 474, 90, 26);
    importButton = new QPushButton(this);
    importButton->setGeometry(810, 474, 90, 26);
    for (QPushButton *button : { exportButton, importButton }) {
        button->setStyleSheet(Style::pressButton);
        button->setCursor(Qt::PointingHandCursor);
        button->setFocusPolicy(Qt::TabFocus);
    }
    profileStatusLabel = textLabel(QString(), { 300, 514, 600, 14 }, this);
    profileStatusLabel->setObjectName(QStringLiteral("profileStatusLabel"));
    connect(exportButton, &QPushButton::clicked, this, &config_Widget::exportProfile);
    connect(importButton, &QPushButton::clicked, this, &config_Widget::importProfile);
    updateProfileButtons();

    textLabel(QString(), { 280, 540, 640, 34 }, this)->setStyleSheet(rowStyle);
    autostartCaption = textLabel(QString(), { 300, 551, 300, 12 }, this);
    autostartStatusLabel = textLabel(QString(), { 520, 551, 340, 12 }, this);
    autostartStatusLabel->setObjectName(QStringLiteral("autostartStatusLabel"));
    autostartBox = new QCheckBox(this);
    autostartBox->setObjectName(QStringLiteral("autostartBox"));
    autostartBox->setGeometry(884, 549, 16, 16);
    autostartBox->setCursor(Qt::PointingHandCursor);
    autostartBox->setStyleSheet(QStringLiteral("QCheckBox::indicator{width:16px;height:16px;}"
                                               "QCheckBox::indicator:checked{image:url(:/img/button_selected.png);}"
                                               "QCheckBox::indicator:unchecked{image:url(:/img/button.png);}"));
    autostartBox->setChecked(Autostart::isEnabled());
    connect(autostartBox, &QCheckBox::toggled, this, &config_Widget::setAutostart);

    // Centred where a 16 px line was, with room for the descenders of Latin letters at 14 px.
    noticeLabel = textLabel(QString(), { 280, 288, 640, 24 }, this);
    noticeLabel->setObjectName(QStringLiteral("noticeLabel"));
    noticeLabel->setAlignment(Qt::AlignCenter);
    // The firmware dialog's message line.
    noticeLabel->setStyleSheet(QStringLiteral("font:14px;color:rgba(255,255,255,0.4)"));
    noticeLabel->hide();
    // These lines quote file names and what files hold: never read as markup.
    for (QLabel *label : { profileStatusLabel, noticeLabel, languageStatusLabel, autostartStatusLabel }) {
        label->setTextFormat(Qt::PlainText);
        MessageLine::setUp(label);
    }
    retranslateUi();
}

void config_Widget::retranslateUi()
{
    fwCaption->setText(tr("固件版本信息"));
    appCaption->setText(tr("软件版本信息"));
    languageCaption->setText(tr("语言"));
    profileCaption->setText(tr("配置文件"));
    exportButton->setText(tr("导出配置"));
    importButton->setText(tr("导入配置"));
    autostartCaption->setText(tr("登录时启动（隐藏到托盘）"));
    autostartBox->setAccessibleName(tr("登录时启动"));
    showAutostartNotSaved(unsavedAutostartPlace);
    setAccessibleName(tr("设置"));
    languageBox->setAccessibleName(languageCaption->text());
    languageBox->view()->setAccessibleName(languageCaption->text());
    fwVersionButton->setAccessibleDescription(fwCaption->text());
    appVersionButton->setAccessibleDescription(appCaption->text());
    if (firmwareOffered)
        fwVersionButton->setText(tr("发现新版本  "));
    if (applicationOffered)
        appVersionButton->setText(tr("发现新版本  "));
    if (noticeText)
        noticeLabel->setText(noticeText());
    showLanguageNotSaved(unsavedLanguageFile);
}

void config_Widget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

void config_Widget::showFirmwareNotTaken(const QString &reported, const QString &offered)
{
    showNotice(
        [reported, offered] { return tr("固件升级未生效：鼠标仍为版本V%1，未升级到V%2").arg(reported, offered); });
}

void config_Widget::showStartFailure(const QString &executable)
{
    showNotice([executable] { return tr("新版本程序无法启动：%1").arg(executable); });
}

void config_Widget::showNotice(std::function<QString()> text)
{
    noticeText = std::move(text);
    noticeLabel->setText(noticeText());
    noticeLabel->show();
    MessageLine::announce(noticeLabel);
}

void config_Widget::clearNotice()
{
    noticeText = nullptr;
    noticeLabel->clear();
    noticeLabel->hide();
}

void config_Widget::showLanguageNotSaved(const QString &settingsFile)
{
    unsavedLanguageFile = settingsFile;
    const QString text = settingsFile.isEmpty()
        ? QString()
        : tr("无法保存语言选择（%1），下次启动时不会保留").arg(QDir::toNativeSeparators(settingsFile));
    languageStatusLabel->setToolTip(text.isEmpty() ? QString() : Qt::convertFromPlainText(text));
    languageStatusLabel->setAccessibleName(text);
    languageStatusLabel->setText(
        languageStatusLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, languageStatusLabel->width()));
    MessageLine::announce(languageStatusLabel);
}

void config_Widget::setAutostart(bool enabled)
{
    QString where;
    if (Autostart::setEnabled(enabled, &where)) {
        showAutostartNotSaved(QString());
        return;
    }
    // The box shows what holds.
    const QSignalBlocker blocker(autostartBox);
    autostartBox->setChecked(Autostart::isEnabled());
    showAutostartNotSaved(where);
}

void config_Widget::showAutostartNotSaved(const QString &where)
{
    unsavedAutostartPlace = where;
    const QString text = where.isEmpty() ? QString() : tr("无法写入 %1").arg(QDir::toNativeSeparators(where));
    autostartStatusLabel->setToolTip(text.isEmpty() ? QString() : Qt::convertFromPlainText(text));
    autostartStatusLabel->setAccessibleName(text);
    autostartStatusLabel->setText(
        autostartStatusLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, autostartStatusLabel->width()));
    MessageLine::announce(autostartStatusLabel);
}

void config_Widget::showFirmwareVersion(const QString &text)
{
    fwVersionButton->show();
    if (firmwareOffered && text == shownFirmwareVersion)
        return;
    shownFirmwareVersion = text;
    fwVersionButton->setText(text);
    endFirmwareOffer();
}

void config_Widget::endFirmwareOffer()
{
    firmwareOffered = false;
    fwUpdateMark->hide();
    disconnect(fwVersionButton, &QPushButton::clicked, updateDialog, &QWidget::show);
}

void config_Widget::offerFirmware()
{
    firmwareOffered = true;
    fwUpdateMark->show();
    fwVersionButton->setText(tr("发现新版本  "));
    connect(fwVersionButton, &QPushButton::clicked, updateDialog, &QWidget::show, Qt::UniqueConnection);
}

void config_Widget::offerApplication()
{
    applicationOffered = true;
    appUpdateMark->show();
    appVersionButton->setText(tr("发现新版本  "));
}

void config_Widget::setMouseConnected(bool connected)
{
    mouseConnected = connected;
    updateProfileButtons();
    if (connected)
        return;
    endFirmwareOffer();
    fwVersionButton->hide();
}

void config_Widget::setFirmwareTransferRunning(bool running)
{
    transferRunning = running;
    updateProfileButtons();
}

void config_Widget::updateProfileButtons()
{
    const bool enabled = mouseConnected && !transferRunning && !profileBusy;
    exportButton->setEnabled(enabled);
    importButton->setEnabled(enabled);
}

void config_Widget::showProfileResult(const QString &text)
{
    profileStatusLabel->setToolTip(Qt::convertFromPlainText(text));
    // The whole text, which the line may show shortened.
    profileStatusLabel->setAccessibleName(text);
    profileStatusLabel->setText(
        profileStatusLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, profileStatusLabel->width()));
    MessageLine::announce(profileStatusLabel);
}

QString config_Widget::chooseProfileFile(QFileDialog::AcceptMode mode)
{
    const bool saving = mode == QFileDialog::AcceptSave;
    const QString folder = profileFolder(lastProfilePath);
    // Over the window, not this page: the page's style sheet would pass its pale labels on to the dialog, which
    // keeps the desktop's own look, light or dark.
    QFileDialog dialog(window(), saving ? tr("导出配置") : tr("导入配置"),
                       saving ? QDir(folder).filePath(QStringLiteral("Z31") + ProfileFile::Suffix) : folder,
                       tr("Z31 配置文件 (*%1)").arg(ProfileFile::Suffix));
    dialog.setObjectName(QStringLiteral("profileFileDialog"));
    dialog.setAcceptMode(mode);
    if (saving) {
        // Added to a name without one before the dialog looks for an existing file: replacing one is asked.
        dialog.setDefaultSuffix(ProfileFile::Suffix.mid(1));
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

void config_Widget::setProfileBusy(bool busy, const QString &text)
{
    profileBusy = busy;
    updateProfileButtons();
    showProfileResult(text);
}

void config_Widget::exportProfile()
{
    const QString path = chooseProfileFile(QFileDialog::AcceptSave);
    if (path.isEmpty() || profileBusy)
        return;
    lastProfilePath = path;
    setProfileBusy(true, tr("正在读取鼠标…"));
    const auto failed = [this](MouseLink::Failure) { setProfileBusy(false, tr("导出失败：鼠标已拔出")); };
    link.ask(
        this, ProfileFile::exportJob(),
        [this, path](const QVariant &answer) {
            const ProfileExport read = answer.value<ProfileExport>();
            QString error = read.error;
            if (error.isEmpty() && ProfileFile::save(path, read.json, &error))
                setProfileBusy(false, tr("已导出配置到 %1").arg(QDir::toNativeSeparators(path)));
            else
                setProfileBusy(false, tr("导出失败：%1").arg(error));
        },
        failed);
}

void config_Widget::importProfile()
{
    const QString path = chooseProfileFile(QFileDialog::AcceptOpen);
    if (path.isEmpty())
        return;
    lastProfilePath = path;
    QString error;
    const std::optional<MouseProfile> profile = ProfileFile::load(path, &error);
    if (!profile) {
        showProfileResult(tr("导入失败：%1").arg(error));
        return;
    }
    if (profileBusy)
        return;
    setProfileBusy(true, tr("正在写入鼠标…"));
    link.ask(
        this, ProfileDevice::writeJob(*profile),
        [this, path](const QVariant &answer) {
            const ProfileWriteResult result = answer.value<ProfileWriteResult>();
            // Unless nothing was sent, the mouse was written: the pages must show what it holds now.
            if (result.outcome != ProfileWriteResult::NotWritten)
                emit profileImported();
            if (result.outcome == ProfileWriteResult::Written)
                setProfileBusy(false, tr("已从 %1 导入配置").arg(QDir::toNativeSeparators(path)));
            else
                setProfileBusy(false, tr("导入失败：%1").arg(ProfileDevice::describe(result)));
        },
        [this](MouseLink::Failure) { setProfileBusy(false, tr("导入失败：鼠标已拔出")); });
}
