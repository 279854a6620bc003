#include "lighting/colorpalette.h"

#include <QDebug>
#include <QSettings>
#include <QStringList>

#include <optional>

namespace {

const QStringList componentKeys { QStringLiteral("Red"), QStringLiteral("Green"), QStringLiteral("Blue") };

QString keyOf(int slot, const QString &component)
{
    return QStringLiteral("COLOR%1/%2").arg(slot).arg(component);
}

// Parsed from the text itself: QVariant::toInt would wrap a huge number into range and call it valid.
std::optional<int> componentOf(const QVariant &value)
{
    bool ok = false;
    const uint number = value.toString().trimmed().toUInt(&ok, 10);
    if (!ok || number > 255)
        return std::nullopt;
    return int(number);
}

} // namespace

ColorPalette::ColorPalette(QSettings &settings)
    : settings(settings)
{
}

QColor ColorPalette::defaultColor(int slot)
{
    static const QColor defaults[PaletteSize] = {
        { 255, 0, 0 }, { 255, 135, 0 }, { 255, 255, 0 }, { 0, 255, 0 }, { 0, 0, 255 }, { 255, 0, 255 },
    };
    Q_ASSERT(slot >= 1 && slot <= PaletteSize);
    return defaults[slot - 1];
}

QColor ColorPalette::load(int slot)
{
    for (const QString &component : componentKeys) {
        if (!settings.contains(keyOf(slot, component))) {
            const QColor colour = defaultColor(slot);
            write(slot, colour);
            sync();
            return colour;
        }
    }
    int rgb[3];
    for (int i = 0; i < 3; ++i)
        rgb[i] = componentOf(settings.value(keyOf(slot, componentKeys.at(i)))).value_or(0);
    return QColor(rgb[0], rgb[1], rgb[2]);
}

void ColorPalette::store(int slot, const QColor &colour)
{
    write(slot, colour);
    sync();
}

void ColorPalette::restoreDefaults()
{
    for (int slot = 1; slot <= PaletteSize; ++slot)
        write(slot, defaultColor(slot));
    sync();
}

void ColorPalette::write(int slot, const QColor &colour)
{
    settings.setValue(keyOf(slot, componentKeys.at(0)), colour.red());
    settings.setValue(keyOf(slot, componentKeys.at(1)), colour.green());
    settings.setValue(keyOf(slot, componentKeys.at(2)), colour.blue());
}

bool ColorPalette::sync()
{
    // QSettings writes a temporary file and renames it over the old one, so a failed write leaves the old file.
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        qWarning() << "colour file not written:" << settings.fileName() << settings.status();
        return false;
    }
    return true;
}
