// The application-wide settings object on the colour file "user_color.ini" beside the executable.
#ifndef USERCOLORSETTINGS_H
#define USERCOLORSETTINGS_H

class QSettings;
class QString;

// Created on first use on applicationDirPath()/user_color.ini; lives until the process ends.
QSettings *userColorSettings();
// Replaces the object with one on `fileName` (tests, and any caller that keeps the colours elsewhere).
void setUserColorFile(const QString &fileName);

#endif
