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

    // While a Wording lives, tr() on its thread words texts in `language`, without the "lang_zh_cn" file and
    // whatever the window shows: the result of a command line's work done by the window reads as the command line
    // would have worded it. Needs the window's switcher (LocalFile::Load) in place; elsewhere it changes nothing.
    class Wording
    {
    public:
        explicit Wording(InterfaceLanguage::Language language);
        ~Wording();
        Wording(const Wording &) = delete;
        Wording &operator=(const Wording &) = delete;

    private:
        const int previous;
    };

private:
    class WordingTranslator;

    const LocalFile localFileUse;
    QTranslator builtIn;
    QTranslator localFile;
    std::unique_ptr<WordingTranslator> wording;
    bool builtInInstalled = false;
    bool localFileInstalled = false;
    bool applied = false;
    InterfaceLanguage::Language language = InterfaceLanguage::SimplifiedChinese;
};

#endif
