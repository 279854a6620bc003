// Puts an interface language into effect: its compiled-in translation, the "lang_zh_cn" file of older installs
// on top of simplified Chinese, and its fonts. Installing the translators makes every widget retranslate.
#ifndef LANGUAGESWITCHER_H
#define LANGUAGESWITCHER_H

#include "ui/language.h"

#include <QTranslator>

#include <memory>

class QSettings;

class LanguageSwitcher
{
public:
    // The command line goes without the "lang_zh_cn" file: Qt's translator can crash on a damaged one, and the
    // few lines it prints do not need an older install's wording.
    enum class LocalFile { Load, Skip };

    explicit LanguageSwitcher(LocalFile localFile = LocalFile::Load);
    ~LanguageSwitcher();

    // The user's own settings file (not beside the executable): the language choice lives there.
    static std::unique_ptr<QSettings> userSettings();

    // The saved language, or the desktop's, put into effect.
    void applySaved();
    void apply(InterfaceLanguage::Language language);
    // A choice of the user: put into effect and saved for the next start. False when it could not be saved.
    bool choose(InterfaceLanguage::Language language);
    InterfaceLanguage::Language current() const { return language; }

private:
    const LocalFile localFileUse;
    QTranslator builtIn;
    QTranslator localFile;
    bool builtInInstalled = false;
    bool localFileInstalled = false;
    bool applied = false;
    InterfaceLanguage::Language language = InterfaceLanguage::SimplifiedChinese;
};

#endif
