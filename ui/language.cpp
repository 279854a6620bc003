#include "ui/language.h"

#include <QSettings>

namespace {

const QString SettingsKey = QStringLiteral("language");

} // namespace

InterfaceLanguage::Language InterfaceLanguage::forUiLanguages(const QStringList &uiLanguages)
{
    for (const QString &entry : uiLanguages) {
        const QStringList parts = entry.toLower().replace(QLatin1Char('_'), QLatin1Char('-')).split(QLatin1Char('-'));
        const QString &language = parts.first();
        if (language == QLatin1String("en"))
            return English;
        if (language != QLatin1String("zh"))
            continue;
        // The script decides when it is given; otherwise the region: Taiwan, Hong Kong and Macao write traditional.
        if (parts.contains(QLatin1String("hant")))
            return TraditionalChinese;
        if (parts.contains(QLatin1String("hans")))
            return SimplifiedChinese;
        for (const char *region : { "tw", "hk", "mo" }) {
            if (parts.contains(QLatin1String(region)))
                return TraditionalChinese;
        }
        return SimplifiedChinese;
    }
    return English;
}

InterfaceLanguage::Language InterfaceLanguage::load(const QSettings &settings, const QStringList &uiLanguages)
{
    Language saved = SimplifiedChinese;
    if (fromCode(settings.value(SettingsKey).toString(), &saved))
        return saved;
    return forUiLanguages(uiLanguages);
}

void InterfaceLanguage::save(QSettings &settings, Language language)
{
    settings.setValue(SettingsKey, code(language));
}

QString InterfaceLanguage::code(Language language)
{
    switch (language) {
    case SimplifiedChinese:
        return QStringLiteral("zh_CN");
    case TraditionalChinese:
        return QStringLiteral("zh_TW");
    case English:
        break;
    }
    return QStringLiteral("en");
}

bool InterfaceLanguage::fromCode(const QString &text, Language *language)
{
    for (int value = SimplifiedChinese; value <= English; ++value) {
        if (text == code(Language(value))) {
            *language = Language(value);
            return true;
        }
    }
    return false;
}

QString InterfaceLanguage::translationFile(Language language)
{
    if (language == SimplifiedChinese)
        return QString();
    return QStringLiteral(":/i18n/tarno_%1.qm").arg(code(language));
}

QStringList InterfaceLanguage::fontFamilies(Language language)
{
    // Windows names first (English and Chinese spellings), then Linux CJK fonts. Noto CJK is named with its
    // region: without it, and without a Chinese locale, Qt picks the Japanese forms of shared characters.
    const QStringList simplified { QStringLiteral("Microsoft YaHei"), QStringLiteral("微软雅黑"),
                                   QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei") };
    if (language != TraditionalChinese)
        return simplified;
    return QStringList { QStringLiteral("Microsoft JhengHei"), QStringLiteral("微軟正黑體"),
                         QStringLiteral("Noto Sans CJK TC"), QStringLiteral("WenQuanYi Micro Hei") }
        + simplified;
}
