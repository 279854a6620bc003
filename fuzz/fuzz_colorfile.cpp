// The colour file user_color.ini as the lighting page reads its six swatches, whatever the file holds.
#include "fuzzsupport.h"

#include "lighting/colorpalette.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

QTemporaryDir *folder = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    silenceDiagnostics();
    new QCoreApplication(*argc, *argv);
    folder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = folder->filePath(QStringLiteral("user_color.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        return 0;
    file.close();

    QColor first[PaletteSize];
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setAtomicSyncRequired(true);
        ColorPalette palette(settings);
        for (int slot = 1; slot <= PaletteSize; ++slot) {
            first[slot - 1] = palette.load(slot);
            fuzzCheck(first[slot - 1].isValid() && first[slot - 1].alpha() == 255, "swatches are opaque colours");
        }
    }

    // What a first reading completed in the file reads back the same the next time.
    QSettings again(path, QSettings::IniFormat);
    ColorPalette palette(again);
    for (int slot = 1; slot <= PaletteSize; ++slot)
        fuzzCheck(palette.load(slot) == first[slot - 1], "a second start shows the same swatches");

    palette.store(3, QColor(1, 2, 3));
    QSettings stored(path, QSettings::IniFormat);
    fuzzCheck(ColorPalette(stored).load(3) == QColor(1, 2, 3), "a stored swatch reads back");
    return 0;
}
