// The program as assistive technology sees it: its windows, the pop-up ones included. Qt leaves pop-ups out of
// the application's accessible children (they are menus elsewhere); here the button dialog, the macro editor and
// the confirmations are pop-ups, which a screen reader must find like any window.
#ifndef ACCESSIBLEAPPLICATION_H
#define ACCESSIBLEAPPLICATION_H

namespace AccessibleApplication {

// Makes the application object's accessible interface list every window. Before anything asks for it: the first
// interface made for an object is kept.
void install();

} // namespace AccessibleApplication

#endif
