#include "ui/languageswitcher.h"

#include <QApplication>
#include <QDebug>
#include <QFont>
#include <QLocale>
#include <QSettings>

namespace {

// The language tr() words in on this thread, -1 for the one in effect.
thread_local int wordingLanguage = -1;

}   // namespace

// Installed in front of the others: it answers only on a thread where a Wording lives, from translations of its own.
class LanguageSwitcher::WordingTranslator : public QTranslator
{
public:
    WordingTranslator()
    {
        for (int language = 0; language < InterfaceLanguage::Count; ++language) {
            const QString file = InterfaceLanguage::translationFile(InterfaceLanguage::Language(language));
            if (!file.isEmpty() && !translations[language].load(file))
                qDebug() << "no translation loaded:" << file;
        }
    }

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *disambiguation, int n) const override
    {
        const int language = wordingLanguage;
        if (language < 0 || language >= InterfaceLanguage::Count)
            return QString();
        const QString text = translations[language].translate(context, sourceText, disambiguation, n);
        // Simplified Chinese is the source text: it must not fall through to the translators behind this one.
        return text.isNull() ? QString::fromUtf8(sourceText) : text;
    }

private:
    QTranslator translations[InterfaceLanguage::Count];
};

LanguageSwitcher::Wording::Wording(InterfaceLanguage::Language language)
    : previous(wordingLanguage)
{
    wordingLanguage = language;
}

LanguageSwitcher::Wording::~Wording()
{
    wordingLanguage = previous;
}

LanguageSwitcher::LanguageSwitcher(LocalFile localFile)
    : localFileUse(localFile)
{
    // Only the window words texts for others.
    if (localFileUse == LocalFile::Load)
        wording = std::make_unique<WordingTranslator>();
}

LanguageSwitcher::~LanguageSwitcher()
{
    if (wording)
        QCoreApplication::removeTranslator(wording.get());
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
    // The last one installed is asked first.
    if (wording) {
        QCoreApplication::removeTranslator(wording.get());
        QCoreApplication::installTranslator(wording.get());
    }
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
