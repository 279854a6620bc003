// Everything the mouse keeps that the program can read: the whole configuration a profile file holds.
#ifndef MOUSEPROFILE_H
#define MOUSEPROFILE_H

#include "buttons/assignmentcodec.h"
#include "pointer/dpicommand.h"

#include <QString>
#include <QVector>

#include <array>

struct DeviceSettings;

struct ButtonProfile
{
    quint8 button = 0;
    quint8 funcType = FuncType::Function;
    // Function index, combination index, or the macro's record-delay flag.
    quint8 funcId = 0;
    // Custom combination only.
    quint8 modifiers = 0;
    quint8 keyUsage = 0;
    // Macro only.
    QVector<micro_Event> events;

    bool isCustomCombination() const { return funcType == FuncType::Combination && funcId == CustomComboId; }
    // Only the fields that matter for the kind of assignment are set.
    static ButtonProfile fromAssignment(quint8 button, const ButtonAssignment &assignment);

    bool operator==(const ButtonProfile &other) const;
};

struct MouseProfile
{
    static constexpr int FirstButton = 2;
    static constexpr int ButtonCount = 8;

    std::array<ButtonProfile, ButtonCount> buttons;

    int lightingMode = 0;
    int lightingSpeed = 0;
    quint8 red = 0;
    quint8 green = 0;
    quint8 blue = 0;

    // In the sliders' units: v means (v + 1) * 50 DPI.
    std::array<quint8, Dpi::LevelCount> dpiLevels {};
    int levelCount = 0;   // 1..5
    int currentLevel = 0;   // index, below levelCount
    quint8 aim = 0;
    quint8 reportRateCode = 0;

    // Informational: the firmware the profile was read from.
    QString firmware;

    // Lighting, DPI and report rate as the main window's reads left them in `settings`.
    void takeSettings(const DeviceSettings &settings);
};

#endif
