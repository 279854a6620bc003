#include "profile/profileformat.h"

#include "buttons/keytables.h"
#include "lighting/lightingcommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTextCodec>

#include <cmath>

namespace {

// The file's words for the entries of the function and combination lists, in list order.
const QStringList functionNames = {
    QStringLiteral("disabled"),     QStringLiteral("left-click"),   QStringLiteral("right-click"),
    QStringLiteral("middle-click"), QStringLiteral("back"),         QStringLiteral("forward"),
    QStringLiteral("dpi-up"),       QStringLiteral("dpi-down"),     QStringLiteral("aim"),
    QStringLiteral("scroll-left"),  QStringLiteral("scroll-right"),
};
const QStringList presetNames = {
    QStringLiteral("custom"),         QStringLiteral("alt-f4"), QStringLiteral("win-d"),  QStringLiteral("ctrl-tab"),
    QStringLiteral("ctrl-shift-tab"), QStringLiteral("ctrl-x"), QStringLiteral("ctrl-v"), QStringLiteral("ctrl-z"),
    QStringLiteral("ctrl-y"),         QStringLiteral("ctrl-c"),
};

struct ModeName
{
    int mode;
    const char *name;
};
constexpr ModeName modeNames[] = {
    { Off, "off" },     { Steady, "steady" },     { Breathing, "breathing" },
    { Cycle, "cycle" }, { Shooting, "shooting" }, { Frenzy, "frenzy" },
};

struct RateName
{
    quint8 code;
    int perSecond;
};
constexpr RateName reportRates[] = { { 8, 125 }, { 4, 250 }, { 2, 500 }, { 1, 1000 } };

const QString Down = QStringLiteral("down");
const QString Up = QStringLiteral("up");

QString modeName(int mode)
{
    for (const ModeName &row : modeNames) {
        if (row.mode == mode)
            return QLatin1String(row.name);
    }
    return QString::number(mode);
}

int perSecondOf(quint8 code)
{
    for (const RateName &row : reportRates) {
        if (row.code == code)
            return row.perSecond;
    }
    return 0;
}

// "CTRL+" -> "CTRL": the editor's prefixes without their plus sign.
QString modifierName(const ModifierKey &key)
{
    QString name = QLatin1String(key.prefix);
    name.chop(1);
    return name;
}

QString keyNameOfUsage(quint8 usage)
{
    return key_name(usage_to_vk(usage));
}

QJsonObject keyObject(quint8 usage)
{
    return { { QStringLiteral("usage"), usage }, { QStringLiteral("name"), keyNameOfUsage(usage) } };
}

QJsonObject buttonObject(const ButtonProfile &button)
{
    QJsonObject object { { QStringLiteral("button"), button.button } };
    switch (button.funcType) {
    case FuncType::Function:
        object.insert(QStringLiteral("function"),
                      QJsonObject { { QStringLiteral("code"), button.funcId },
                                    { QStringLiteral("name"), functionNames.value(button.funcId) } });
        break;
    case FuncType::Combination:
        if (button.isCustomCombination()) {
            QJsonArray modifiers;
            for (const ModifierKey &key : modifierKeys) {
                if (button.modifiers & key.bit)
                    modifiers.append(modifierName(key));
            }
            object.insert(QStringLiteral("combination"),
                          QJsonObject { { QStringLiteral("code"), CustomComboId },
                                        { QStringLiteral("modifiers"), modifiers },
                                        { QStringLiteral("key"), keyObject(button.keyUsage) } });
        } else {
            object.insert(QStringLiteral("combination"),
                          QJsonObject { { QStringLiteral("code"), button.funcId },
                                        { QStringLiteral("name"), presetNames.value(button.funcId) } });
        }
        break;
    case FuncType::Macro: {
        QJsonArray events;
        for (const micro_Event &event : button.events) {
            QJsonObject item = keyObject(event.usage);
            item.insert(QStringLiteral("action"), event.up ? Up : Down);
            item.insert(QStringLiteral("delayMs"), event.delay_ms);
            events.append(item);
        }
        object.insert(QStringLiteral("macro"),
                      QJsonObject { { QStringLiteral("recordDelay"), button.funcId != 0 },
                                    { QStringLiteral("events"), events } });
        break;
    }
    default:
        // Not a kind the program knows: written as it is, so that reading it back names it.
        object.insert(QStringLiteral("kind"), button.funcType);
        break;
    }
    return object;
}

// Without the firmware, so that two profiles can be compared setting by setting.
QJsonObject settingsObject(const MouseProfile &profile)
{
    QJsonArray buttons;
    for (const ButtonProfile &button : profile.buttons)
        buttons.append(buttonObject(button));

    QJsonArray levels;
    for (quint8 value : profile.dpiLevels)
        levels.append(Dpi::dpiOf(value));

    return {
        { QStringLiteral("format"), ProfileFormat::Version },
        { QStringLiteral("buttons"), buttons },
        { QStringLiteral("lighting"),
          QJsonObject {
              { QStringLiteral("mode"), modeName(profile.lightingMode) },
              { QStringLiteral("speed"), profile.lightingSpeed },
              { QStringLiteral("color"), QColor(profile.red, profile.green, profile.blue).name(QColor::HexRgb) } } },
        { QStringLiteral("dpi"),
          QJsonObject { { QStringLiteral("levels"), levels },
                        { QStringLiteral("levelCount"), profile.levelCount },
                        { QStringLiteral("currentLevel"), profile.currentLevel + 1 },
                        { QStringLiteral("aim"), Dpi::dpiOf(profile.aim) } } },
        { QStringLiteral("reportRate"), perSecondOf(profile.reportRateCode) },
    };
}

QString join(const QString &path, const QString &key)
{
    return path.isEmpty() ? key : path + QLatin1Char('.') + key;
}

QString at(const QString &path, int index)
{
    return path + QStringLiteral("[%1]").arg(index);
}

// A value from the file as a message quotes it: control characters (which would steer a terminal) escaped as
// \uXXXX, and cut after a few dozen characters, since a file may hold a value of any length.
QString shown(const QString &text)
{
    constexpr int Shown = 60;
    QString result;
    for (const QChar c : text) {
        if (result.size() >= Shown)
            return result + QStringLiteral("…");
        const ushort code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F))
            result += QStringLiteral("\\u%1").arg(code, 4, 16, QLatin1Char('0'));
        else
            result += c;
    }
    return result;
}

QString jsonText(const QJsonValue &value)
{
    if (value.isString())
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 17);
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isNull())
        return QStringLiteral("null");
    return QString::fromUtf8(value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                                             : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
}

QString differenceIn(const QJsonValue &expected, const QJsonValue &actual, const QString &path)
{
    if (expected.isObject() && actual.isObject()) {
        const QJsonObject a = expected.toObject();
        const QJsonObject b = actual.toObject();
        if (a.keys() == b.keys()) {
            for (auto it = a.begin(); it != a.end(); ++it) {
                const QString found = differenceIn(it.value(), b.value(it.key()), join(path, it.key()));
                if (!found.isEmpty())
                    return found;
            }
            return QString();
        }
    } else if (expected.isArray() && actual.isArray()) {
        const QJsonArray a = expected.toArray();
        const QJsonArray b = actual.toArray();
        if (a.size() != b.size())
            return ProfileFormat::tr("%1 应有 %2 项，鼠标上为 %3 项").arg(path).arg(a.size()).arg(b.size());
        for (int i = 0; i < a.size(); ++i) {
            const QString found = differenceIn(a.at(i), b.at(i), at(path, i));
            if (!found.isEmpty())
                return found;
        }
        return QString();
    } else if (expected == actual) {
        return QString();
    }
    // A whole assignment can be long; the start of it is enough to tell the two apart.
    return ProfileFormat::tr("%1 应为 %2，鼠标上为 %3").arg(path, shown(jsonText(expected)), shown(jsonText(actual)));
}

// Walks the document; the first problem found is kept and ends the walk.
class Reader
{
public:
    QString error;

    bool fail(const QString &text)
    {
        if (error.isEmpty())
            error = text;
        return false;
    }

    // The object at `path` has exactly the keys `names`.
    bool keys(const QJsonObject &object, const QString &path, const QStringList &names)
    {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!names.contains(it.key()))
                return fail(ProfileFormat::tr("%1 中有多余的 “%2”").arg(place(path), shown(it.key())));
        }
        for (const QString &name : names) {
            if (!object.contains(name))
                return fail(ProfileFormat::tr("%1 缺少 “%2”").arg(place(path), name));
        }
        return true;
    }

    bool object(const QJsonValue &value, const QString &path, QJsonObject *out)
    {
        if (!value.isObject())
            return fail(ProfileFormat::tr("%1 应为对象 {…}").arg(place(path)));
        *out = value.toObject();
        return true;
    }

    bool array(const QJsonValue &value, const QString &path, QJsonArray *out)
    {
        if (!value.isArray())
            return fail(ProfileFormat::tr("%1 应为列表 […]").arg(path));
        *out = value.toArray();
        return true;
    }

    bool integer(const QJsonValue &value, const QString &path, int min, int max, int *out)
    {
        const double number = value.toDouble();
        if (!value.isDouble() || std::floor(number) != number)
            return fail(ProfileFormat::tr("%1 应为整数").arg(path));
        if (number < min || number > max)
            return fail(
                ProfileFormat::tr("%1 为 %2，应在 %3 到 %4 之间").arg(path, shown(jsonText(value))).arg(min).arg(max));
        *out = int(number);
        return true;
    }

    bool text(const QJsonValue &value, const QString &path, QString *out)
    {
        if (!value.isString())
            return fail(ProfileFormat::tr("%1 应为文本").arg(path));
        *out = value.toString();
        return true;
    }

    bool boolean(const QJsonValue &value, const QString &path, bool *out)
    {
        if (!value.isBool())
            return fail(ProfileFormat::tr("%1 应为 true 或 false").arg(path));
        *out = value.toBool();
        return true;
    }

    // A text that must be one of `names`; `*index` is its position.
    bool oneOf(const QJsonValue &value, const QString &path, const QStringList &names, int *index)
    {
        QString name;
        if (!text(value, path, &name))
            return false;
        *index = names.indexOf(name);
        if (*index < 0)
            return fail(ProfileFormat::tr("%1 为 “%2”，应为以下之一：%3")
                            .arg(path, shown(name), names.join(QStringLiteral(", "))));
        return true;
    }

    // A name that has to agree with the code next to it.
    bool nameOfCode(const QJsonValue &value, const QString &path, const QStringList &names, int code)
    {
        int index = -1;
        if (!oneOf(value, path, names, &index))
            return false;
        if (index != code)
            return fail(ProfileFormat::tr("%1 为 “%2”，而编号 %3 是 “%4”")
                            .arg(path, names.at(index))
                            .arg(code)
                            .arg(names.at(code)));
        return true;
    }

    // A key of the key tables as its usage id and its name, which must agree. Usage 0 (no key) only when
    // `allowNone`.
    bool key(const QJsonObject &object, const QString &path, bool allowNone, quint8 *usage)
    {
        int value = 0;
        QString name;
        if (!integer(object.value(QStringLiteral("usage")), join(path, QStringLiteral("usage")), 0, 255, &value)
            || !text(object.value(QStringLiteral("name")), join(path, QStringLiteral("name")), &name))
            return false;
        if (!(value == 0 && allowNone) && !isKnownUsage(quint8(value)))
            return fail(ProfileFormat::tr("%1 为 %2，不是本程序认识的按键")
                            .arg(join(path, QStringLiteral("usage")))
                            .arg(value));
        const QString expected = keyNameOfUsage(quint8(value));
        if (name != expected)
            return fail(ProfileFormat::tr("%1 为 “%2”，而键码 %3 的键名是 “%4”")
                            .arg(join(path, QStringLiteral("name")), shown(name))
                            .arg(value)
                            .arg(expected));
        *usage = quint8(value);
        return true;
    }

    bool dpiValue(const QJsonValue &value, const QString &path, quint8 *out)
    {
        int dpi = 0;
        if (!integer(value, path, Dpi::dpiOf(Dpi::MinValue), Dpi::dpiOf(Dpi::MaxValue), &dpi))
            return false;
        if (dpi % 50 != 0)
            return fail(ProfileFormat::tr("%1 为 %2，应为 50 的倍数").arg(path).arg(dpi));
        *out = quint8(dpi / 50 - 1);
        return true;
    }

    // MAJOR.MINOR.PATCH, each a byte as the mouse reports it.
    bool firmware(const QJsonValue &value, const QString &path, QString *out)
    {
        if (!text(value, path, out))
            return false;
        static const QRegularExpression version(
            QRegularExpression::anchoredPattern(QStringLiteral("([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})")));
        const QRegularExpressionMatch match = version.match(*out);
        bool bytes = match.hasMatch();
        for (int part = 1; bytes && part <= 3; ++part)
            bytes = match.capturedRef(part).toInt() <= 255;
        if (!bytes)
            return fail(ProfileFormat::tr("%1 为 “%2”，应为 MAJOR.MINOR.PATCH 形式的版本（各 0 到 255）")
                            .arg(path, shown(*out)));
        return true;
    }

    bool button(const QJsonValue &value, const QString &path, ButtonProfile *out);
    bool lighting(const QJsonValue &value, const QString &path, MouseProfile *out);
    bool dpi(const QJsonValue &value, const QString &path, MouseProfile *out);
    bool reportRate(const QJsonValue &value, const QString &path, MouseProfile *out);
    bool document(const QJsonObject &root, MouseProfile *out);

private:
    static QString place(const QString &path) { return path.isEmpty() ? ProfileFormat::tr("文件顶层") : path; }
};

bool Reader::button(const QJsonValue &value, const QString &path, ButtonProfile *out)
{
    QJsonObject object;
    if (!this->object(value, path, &object))
        return false;
    const QStringList kinds = { QStringLiteral("function"), QStringLiteral("combination"), QStringLiteral("macro") };
    QString kind;
    for (const QString &candidate : kinds) {
        if (object.contains(candidate)) {
            kind = candidate;
            break;
        }
    }
    if (kind.isEmpty())
        return fail(ProfileFormat::tr("%1 缺少 “function”、“combination” 或 “macro”").arg(path));
    int id = 0;
    if (!keys(object, path, { QStringLiteral("button"), kind })
        || !integer(object.value(QStringLiteral("button")), join(path, QStringLiteral("button")),
                    MouseProfile::FirstButton, MouseProfile::FirstButton + MouseProfile::ButtonCount - 1, &id))
        return false;
    out->button = quint8(id);

    const QString kindPath = join(path, kind);
    QJsonObject assignment;
    if (!this->object(object.value(kind), kindPath, &assignment))
        return false;
    const QString codePath = join(kindPath, QStringLiteral("code"));
    int code = 0;

    if (kind == kinds.at(0)) {
        out->funcType = FuncType::Function;
        if (!keys(assignment, kindPath, { QStringLiteral("code"), QStringLiteral("name") })
            || !integer(assignment.value(QStringLiteral("code")), codePath, 0, functionNames.size() - 1, &code)
            || !nameOfCode(assignment.value(QStringLiteral("name")), join(kindPath, QStringLiteral("name")),
                           functionNames, code))
            return false;
        out->funcId = quint8(code);
        return true;
    }

    if (kind == kinds.at(1)) {
        out->funcType = FuncType::Combination;
        if (!integer(assignment.value(QStringLiteral("code")), codePath, 0, presetNames.size() - 1, &code))
            return false;
        out->funcId = quint8(code);
        if (code != CustomComboId) {
            return keys(assignment, kindPath, { QStringLiteral("code"), QStringLiteral("name") })
                && nameOfCode(assignment.value(QStringLiteral("name")), join(kindPath, QStringLiteral("name")),
                              presetNames, code);
        }
        if (!keys(assignment, kindPath, { QStringLiteral("code"), QStringLiteral("modifiers"), QStringLiteral("key") }))
            return false;
        QStringList modifierNames;
        for (const ModifierKey &key : modifierKeys)
            modifierNames.append(modifierName(key));
        const QString modifiersPath = join(kindPath, QStringLiteral("modifiers"));
        QJsonArray modifiers;
        if (!array(assignment.value(QStringLiteral("modifiers")), modifiersPath, &modifiers))
            return false;
        for (int i = 0; i < modifiers.size(); ++i) {
            int index = -1;
            if (!oneOf(modifiers.at(i), at(modifiersPath, i), modifierNames, &index))
                return false;
            const quint8 bit = modifierKeys.at(size_t(index)).bit;
            if (out->modifiers & bit)
                return fail(ProfileFormat::tr("%1 重复了 “%2”").arg(modifiersPath, modifierNames.at(index)));
            out->modifiers |= bit;
        }
        const QString keyPath = join(kindPath, QStringLiteral("key"));
        QJsonObject key;
        return this->object(assignment.value(QStringLiteral("key")), keyPath, &key)
            && keys(key, keyPath, { QStringLiteral("usage"), QStringLiteral("name") })
            && this->key(key, keyPath, true, &out->keyUsage);
    }

    out->funcType = FuncType::Macro;
    bool recordDelay = false;
    QJsonArray events;
    const QString eventsPath = join(kindPath, QStringLiteral("events"));
    if (!keys(assignment, kindPath, { QStringLiteral("recordDelay"), QStringLiteral("events") })
        || !boolean(assignment.value(QStringLiteral("recordDelay")), join(kindPath, QStringLiteral("recordDelay")),
                    &recordDelay)
        || !array(assignment.value(QStringLiteral("events")), eventsPath, &events))
        return false;
    out->funcId = recordDelay ? 1 : 0;
    if (events.size() > MaxMacroEvents)
        return fail(
            ProfileFormat::tr("%1 有 %2 个事件，最多 %3 个").arg(eventsPath).arg(events.size()).arg(MaxMacroEvents));
    for (int i = 0; i < events.size(); ++i) {
        const QString eventPath = at(eventsPath, i);
        QJsonObject item;
        micro_Event event;
        int action = 0;
        int delay = 0;
        if (!this->object(events.at(i), eventPath, &item)
            || !keys(item, eventPath,
                     { QStringLiteral("usage"), QStringLiteral("name"), QStringLiteral("action"),
                       QStringLiteral("delayMs") })
            || !key(item, eventPath, false, &event.usage)
            || !oneOf(item.value(QStringLiteral("action")), join(eventPath, QStringLiteral("action")), { Down, Up },
                      &action)
            || !integer(item.value(QStringLiteral("delayMs")), join(eventPath, QStringLiteral("delayMs")), 0, 0xFFFF,
                        &delay))
            return false;
        event.up = quint8(action);
        event.delay_ms = quint16(delay);
        out->events.append(event);
    }
    return true;
}

bool Reader::lighting(const QJsonValue &value, const QString &path, MouseProfile *out)
{
    QJsonObject object;
    QStringList names;
    for (const ModeName &row : modeNames)
        names.append(QLatin1String(row.name));
    int mode = -1;
    QString colour;
    const QString colourPath = join(path, QStringLiteral("color"));
    if (!this->object(value, path, &object)
        || !keys(object, path, { QStringLiteral("mode"), QStringLiteral("speed"), QStringLiteral("color") })
        || !oneOf(object.value(QStringLiteral("mode")), join(path, QStringLiteral("mode")), names, &mode)
        || !integer(object.value(QStringLiteral("speed")), join(path, QStringLiteral("speed")), MinLightingSpeed,
                    MaxLightingSpeed, &out->lightingSpeed)
        || !text(object.value(QStringLiteral("color")), colourPath, &colour))
        return false;
    out->lightingMode = modeNames[mode].mode;
    // The whole text: "$" alone would also match before a final line break.
    static const QRegularExpression hexColour(QRegularExpression::anchoredPattern(QStringLiteral("#[0-9a-fA-F]{6}")));
    bool converted = false;
    const uint rgb = colour.midRef(1).toUInt(&converted, 16);
    if (!hexColour.match(colour).hasMatch() || !converted)
        return fail(ProfileFormat::tr("%1 为 “%2”，应为 #rrggbb 形式的颜色").arg(colourPath, shown(colour)));
    out->red = quint8(rgb >> 16);
    out->green = quint8(rgb >> 8);
    out->blue = quint8(rgb);
    return true;
}

bool Reader::dpi(const QJsonValue &value, const QString &path, MouseProfile *out)
{
    QJsonObject object;
    QJsonArray levels;
    const QString levelsPath = join(path, QStringLiteral("levels"));
    int current = 0;
    if (!this->object(value, path, &object)
        || !keys(object, path,
                 { QStringLiteral("levels"), QStringLiteral("levelCount"), QStringLiteral("currentLevel"),
                   QStringLiteral("aim") })
        || !array(object.value(QStringLiteral("levels")), levelsPath, &levels))
        return false;
    if (levels.size() != Dpi::LevelCount)
        return fail(
            ProfileFormat::tr("%1 有 %2 项，应为 %3 项").arg(levelsPath).arg(levels.size()).arg(Dpi::LevelCount));
    for (int i = 0; i < Dpi::LevelCount; ++i) {
        if (!dpiValue(levels.at(i), at(levelsPath, i), &out->dpiLevels[size_t(i)]))
            return false;
    }
    const QString currentPath = join(path, QStringLiteral("currentLevel"));
    if (!integer(object.value(QStringLiteral("levelCount")), join(path, QStringLiteral("levelCount")), 1,
                 Dpi::LevelCount, &out->levelCount)
        || !integer(object.value(QStringLiteral("currentLevel")), currentPath, 1, Dpi::LevelCount, &current)
        || !dpiValue(object.value(QStringLiteral("aim")), join(path, QStringLiteral("aim")), &out->aim))
        return false;
    if (current > out->levelCount)
        return fail(ProfileFormat::tr("%1 为 %2，不能大于 levelCount（%3）")
                        .arg(currentPath)
                        .arg(current)
                        .arg(out->levelCount));
    out->currentLevel = current - 1;
    return true;
}

bool Reader::reportRate(const QJsonValue &value, const QString &path, MouseProfile *out)
{
    int perSecond = 0;
    if (!integer(value, path, 0, 100000, &perSecond))
        return false;
    for (const RateName &row : reportRates) {
        if (row.perSecond == perSecond) {
            out->reportRateCode = row.code;
            return true;
        }
    }
    return fail(ProfileFormat::tr("%1 为 %2，应为 125、250、500 或 1000").arg(path).arg(perSecond));
}

bool Reader::document(const QJsonObject &root, MouseProfile *out)
{
    const QString formatKey = QStringLiteral("format");
    // The version first: a later format may have other keys, and "unsupported" is then the useful answer.
    if (!root.contains(formatKey))
        return fail(ProfileFormat::tr("文件顶层缺少 “format”"));
    const QJsonValue format = root.value(formatKey);
    if (format != QJsonValue(ProfileFormat::Version))
        return fail(ProfileFormat::tr("format 为 %1：本程序只读取格式 %2")
                        .arg(shown(jsonText(format)))
                        .arg(ProfileFormat::Version));
    QJsonArray buttons;
    if (!keys(root, QString(),
              { formatKey, QStringLiteral("firmware"), QStringLiteral("buttons"), QStringLiteral("lighting"),
                QStringLiteral("dpi"), QStringLiteral("reportRate") })
        || !firmware(root.value(QStringLiteral("firmware")), QStringLiteral("firmware"), &out->firmware)
        || !array(root.value(QStringLiteral("buttons")), QStringLiteral("buttons"), &buttons))
        return false;
    if (buttons.size() != MouseProfile::ButtonCount)
        return fail(ProfileFormat::tr("buttons 有 %1 项，应为 %2 项（按键 2 到 9 各一项）")
                        .arg(buttons.size())
                        .arg(MouseProfile::ButtonCount));
    std::array<bool, MouseProfile::ButtonCount> seen {};
    for (int i = 0; i < buttons.size(); ++i) {
        ButtonProfile button;
        const QString path = at(QStringLiteral("buttons"), i);
        if (!this->button(buttons.at(i), path, &button))
            return false;
        const size_t slot = size_t(button.button - MouseProfile::FirstButton);
        if (seen[slot])
            return fail(ProfileFormat::tr("%1 重复了按键 %2").arg(path).arg(button.button));
        seen[slot] = true;
        out->buttons[slot] = button;
    }
    return lighting(root.value(QStringLiteral("lighting")), QStringLiteral("lighting"), out)
        && dpi(root.value(QStringLiteral("dpi")), QStringLiteral("dpi"), out)
        && reportRate(root.value(QStringLiteral("reportRate")), QStringLiteral("reportRate"), out);
}

// Line and column (both from 1) of a byte offset.
QPair<int, int> lineAndColumn(const QByteArray &text, int offset)
{
    int line = 1;
    int column = 1;
    for (int i = 0; i < offset && i < text.size(); ++i) {
        if (text.at(i) == '\n') {
            ++line;
            column = 1;
        } else if ((text.at(i) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return { line, column };
}

// Qt's parser lets a key repeat in one object (the last one wins) and takes control characters inside strings
// as they are; both are refused here. Runs on a document Qt has parsed, so the syntax is known to be sound.
class StrictScan
{
public:
    explicit StrictScan(const QByteArray &text)
        : text(text)
    { }

    // The first problem, or an empty text.
    QString problem()
    {
        for (pos = 0; pos < text.size(); ++pos) {
            switch (text.at(pos)) {
            case '{':
            case '[':
                open.append({ text.at(pos) == '{', childPath(), {}, {}, 0 });
                expectKey = open.last().object;
                break;
            case '}':
            case ']':
                open.removeLast();
                break;
            case ',':
                if (open.last().object)
                    expectKey = true;
                else
                    ++open.last().index;
                break;
            case '"': {
                QString value;
                const QString error = string(&value);
                if (!error.isEmpty())
                    return error;
                if (!expectKey)
                    break;
                expectKey = false;
                Container &object = open.last();
                if (object.keys.contains(value))
                    return ProfileFormat::tr("%1 中重复了 “%2”")
                        .arg(object.path.isEmpty() ? ProfileFormat::tr("文件顶层") : shown(object.path), shown(value));
                object.keys.insert(value);
                object.key = value;
                break;
            }
            default:
                break;
            }
        }
        return QString();
    }

private:
    struct Container
    {
        bool object;
        QString path;
        QSet<QString> keys;
        QString key;   // the latest key of an object
        int index;   // the current element of an array
    };

    QString childPath() const
    {
        if (open.isEmpty())
            return QString();
        const Container &parent = open.last();
        return parent.object ? join(parent.path, parent.key) : at(parent.path, parent.index);
    }

    // Reads the string starting at `pos` (its opening quote) and leaves `pos` on its closing quote.
    QString string(QString *value)
    {
        int run = ++pos;
        auto takeRun = [&] { *value += QString::fromUtf8(text.constData() + run, pos - run); };
        for (; text.at(pos) != '"'; ++pos) {
            const uchar c = uchar(text.at(pos));
            if (c < 0x20) {
                const QPair<int, int> place = lineAndColumn(text, pos);
                return ProfileFormat::tr("第 %1 行第 %2 列：文本中有控制字符 \\u%3，应写成转义形式")
                    .arg(place.first)
                    .arg(place.second)
                    .arg(c, 4, 16, QLatin1Char('0'));
            }
            if (c != '\\')
                continue;
            takeRun();
            const char escaped = text.at(++pos);
            if (escaped == 'u') {
                *value += QChar(text.mid(pos + 1, 4).toUShort(nullptr, 16));
                pos += 4;
            } else {
                static const QByteArray from = "bfnrt";
                static const char to[] = "\b\f\n\r\t";
                const int index = from.indexOf(escaped);
                *value += QLatin1Char(index >= 0 ? to[index] : escaped);
            }
            run = pos + 1;
        }
        takeRun();
        return QString();
    }

    const QByteArray &text;
    int pos = 0;
    QVector<Container> open;
    bool expectKey = false;
};

} // namespace

QByteArray ProfileFormat::toJson(const MouseProfile &profile)
{
    QJsonObject root = settingsObject(profile);
    root.insert(QStringLiteral("firmware"), profile.firmware);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<MouseProfile> ProfileFormat::fromJson(const QByteArray &json, QString *error)
{
    QByteArray text = json;
    // Editors on Windows like to start UTF-8 with a byte-order mark.
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(text.constData(), text.size(), &state);
    if (state.invalidChars > 0) {
        *error = tr("不是 UTF-8 文本");
        return std::nullopt;
    }
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const QPair<int, int> place = lineAndColumn(text, parseError.offset);
        *error = tr("不是有效的 JSON：第 %1 行第 %2 列，%3")
                     .arg(place.first)
                     .arg(place.second)
                     .arg(parseError.errorString());
        return std::nullopt;
    }
    if (!document.isObject()) {
        *error = tr("文件顶层应为对象 {…}");
        return std::nullopt;
    }
    const QString strictError = StrictScan(text).problem();
    if (!strictError.isEmpty()) {
        *error = strictError;
        return std::nullopt;
    }
    MouseProfile profile;
    Reader reader;
    if (!reader.document(document.object(), &profile)) {
        *error = reader.error;
        return std::nullopt;
    }
    return profile;
}

QString ProfileFormat::firstDifference(const MouseProfile &expected, const MouseProfile &actual)
{
    return differenceIn(settingsObject(expected), settingsObject(actual), QString());
}
