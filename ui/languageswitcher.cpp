#include "ui/languageswitcher.h"

#include <QApplication>
#include <QDebug>
#include <QFont>
#include <QLocale>
#include <QSettings>

LanguageSwitcher::LanguageSwitcher(LocalFile localFile)
    : localFileUse(localFile)
{ }

LanguageSwitcher::~LanguageSwitcher()
{
    QCoreApplication::removeTranslator(&localFile);
    QCoreApplication::removeTranslator(&builtIn);
}

std::unique_ptr<QSettings> LanguageSwitcher::userSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("TARNO"),
                                       QStringLiteral("TARNO_CONNECT"));
}

void LanguageSwitcher::applySaved()
{
    apply(InterfaceLanguage::load(*userSettings(), QLocale::system().uiLanguages()));
}

void LanguageSwitcher::apply(InterfaceLanguage::Language chosen)
{
    if (applied && chosen == language)
        return;
    applied = true;
    language = chosen;

    // The command line's modes run without a GUI application: they need the texts only.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QFont font = QApplication::font();
        const QStringList families = InterfaceLanguage::fontFamilies(language);
        font.setFamily(families.first());
        font.setFamilies(families);
        QApplication::setFont(font);
    }

    if (builtInInstalled)
        QCoreApplication::removeTranslator(&builtIn);
    if (localFileInstalled)
        QCoreApplication::removeTranslator(&localFile);
    builtInInstalled = localFileInstalled = false;

    const QString file = InterfaceLanguage::translationFile(language);
    if (!file.isEmpty()) {
        if (builtIn.load(file))
            builtInInstalled = QCoreApplication::installTranslator(&builtIn);
        else
            qDebug() << "no translation loaded:" << file;
    }
    // An existing install's own translator file, in the working directory, overrides the simplified texts.
    if (language == InterfaceLanguage::SimplifiedChinese && localFileUse == LocalFile::Load
        && localFile.load(QStringLiteral("lang_zh_cn")))
        localFileInstalled = QCoreApplication::installTranslator(&localFile);
    qDebug() << "language" << InterfaceLanguage::code(language);
}

bool LanguageSwitcher::choose(InterfaceLanguage::Language chosen)
{
    apply(chosen);
    const std::unique_ptr<QSettings> settings = userSettings();
    InterfaceLanguage::save(*settings, chosen);
    settings->sync();
    if (settings->status() == QSettings::NoError)
        return true;
    qDebug() << "language choice not saved:" << settings->fileName();
    return false;
}
