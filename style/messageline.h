// Lines that tell the user the outcome of what they did: a refusal, a result, a mouse that does not answer.
// Screen readers do not read a label whose text merely changes; a message line is presented to them as a
// notification and announced each time it says something new.
#ifndef MESSAGELINE_H
#define MESSAGELINE_H

class QLabel;
class QString;

namespace MessageLine {

// Makes `line` a message line. At construction: its accessible interface is made once, on first use.
void setUp(QLabel *line);
// Shows `text` on the line and announces it when it differs from what the line said; an empty text clears the
// line silently.
void show(QLabel *line, const QString &text);
// Announces what the line says now, for a line that was shown again or whose text was set elsewhere. A line
// whose label holds a shortened text announces its accessible name, set to the whole text.
void announce(QLabel *line);

}   // namespace MessageLine

#endif
