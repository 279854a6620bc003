// The pointer page's commands and the arithmetic of its sliders, free of widgets.
#ifndef DPICOMMAND_H
#define DPICOMMAND_H

#include <QtGlobal>

namespace Dpi {

constexpr int LevelCount = 5;
// Every DPI setting is one byte v in MinValue..MaxValue meaning (v + 1) * 50 DPI.
constexpr int MinValue = 1;
constexpr int MaxValue = 144;
// Level-count byte of a DPI command while no count has been chosen.
constexpr quint8 NoLevelCount = 0xFF;

int dpiOf(int value);

// Value labels are 50 px wide and stay centred under their slider's handle.
int aimLabelX(int value);
constexpr int AimLabelY = 400;
int levelLabelX(int value);
// Row n = 1..5 of the level editor.
int levelRowY(int n);
int levelLabelY(int n);

// Whether level row n = 1..5 is in use when maxIndex is the highest enabled level index.
bool levelRowEnabled(int n, int maxIndex);
// The byte sent for the checked level-count button id (-1 when none is checked).
quint8 levelCountByte(int checkedId);
// The active level may not lie above the highest enabled one.
quint8 activeLevelWithin(quint8 currentLevel, int maxIndex);

bool isReportRateCode(int code);

} // namespace Dpi

// The DPI command 0xC1: all DPI settings at once.
struct DpiCommand
{
    quint8 levels[Dpi::LevelCount] = {};
    quint8 currentLevel = 0;
    quint8 aim = 0;
    quint8 maxLevel = Dpi::NoLevelCount;

    // Writes bytes 0..8 of `buffer`; the other bytes keep what earlier commands left.
    void writeTo(quint8 *buffer) const;
};

// Report-rate command 0xC3: writes bytes 0 and 1 only.
void writeReportRateCommand(quint8 *buffer, quint8 code);
// DPI query 0xC2: writes byte 0 only.
void writeDpiQuery(quint8 *buffer);

#endif
