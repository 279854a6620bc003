// The six saved swatch colours in the colour file: slot n (1..6) is the INI group "COLORn" with the keys
// Red, Green and Blue, each a decimal 0..255.
#ifndef COLORPALETTE_H
#define COLORPALETTE_H

#include <QColor>

class QSettings;

constexpr int PaletteSize = 6;

class ColorPalette
{
public:
    explicit ColorPalette(QSettings &settings);

    static QColor defaultColor(int slot);

    // The slot's stored colour. A slot missing any of its three keys gets its default colour, and the default is
    // written to its three keys. Each component is read on its own: one that is not a decimal 0..255 reads as 0,
    // and the other two keep their values.
    QColor load(int slot);
    void store(int slot, const QColor &colour);
    // Writes the defaults to all 18 keys.
    void restoreDefaults();

private:
    void write(int slot, const QColor &colour);
    bool sync();

    QSettings &settings;
};

#endif
