// The interface languages: which one a desktop gets, how the choice is saved, and what each one needs.
#ifndef LANGUAGE_H
#define LANGUAGE_H

#include <QString>
#include <QStringList>

class QSettings;

class InterfaceLanguage
{
public:
    // Also the entries' order in the settings page's language box.
    enum Language { SimplifiedChinese = 0, TraditionalChinese = 1, English = 2 };
    static constexpr int Count = 3;

    // The first of the desktop's UI languages (most preferred first, as QLocale::uiLanguages gives them) that
    // is Chinese or English decides; anything else gives English.
    static Language forUiLanguages(const QStringList &uiLanguages);
    // The saved choice, or the desktop's language when nothing valid is saved.
    static Language load(const QSettings &settings, const QStringList &uiLanguages);
    static void save(QSettings &settings, Language language);

    // "zh_CN", "zh_TW" or "en": the saved value and the translation file's suffix.
    static QString code(Language language);
    // The language of such a code; false for any other text.
    static bool fromCode(const QString &code, Language *language);
    // The compiled-in translation; empty for simplified Chinese, the language of the source texts.
    static QString translationFile(Language language);
    // Font families, best first, that draw the language on Windows and on Linux.
    static QStringList fontFamilies(Language language);
    static bool isValid(int value) { return value >= SimplifiedChinese && value <= English; }
};

#endif
