// What the window shows of the mouse's lighting, DPI and report rate, as one line in the mouse's own codes. With
// the logging rule "tarno.shown.debug=true" the window writes that line to the debug log whenever it changes, so
// that a test driving the real program can hold it against what the mouse keeps. Without the rule nothing runs.
#ifndef SHOWNSETTINGS_H
#define SHOWNSETTINGS_H

#include <QLoggingCategory>
#include <QString>

class QWidget;

Q_DECLARE_LOGGING_CATEGORY(lcShown)

// "shown page=P visible=V silent=S lighting=MODE,SPEED,R,G,B dpi=L1,L2,L3,L4,L5 count=C current=I aim=A rate=R":
// the page index, whether the window is shown, whether it says that the mouse does not answer, the lighting mode,
// speed and colour, the five level values, the checked level count's index (-1 for none), the highlighted level's
// index, the aim value and the checked report-rate code. Empty while the pages are not built.
QString shownSettingsLine(const QWidget &window);

// With the rule on, looks at the window every 100 ms while it lives.
void logShownSettings(QWidget *window);

#endif
