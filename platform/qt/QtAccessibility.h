// What screen readers learn of the program's widgets through Qt's
// accessibility (AT-SPI on Linux). Qt's own widgets (the text box, list box
// and option buttons) keep Qt's interfaces; the widgets of our own (labels,
// images, frames, user control surfaces, windows) get theirs here, with the
// role their control has and, for buttons and links, a press that clicks them
// as the keyboard does. Every control's name and description are its
// widget's accessible name and description, which the control keeps up to
// date and tells of at each change.
#pragma once

#include <QAccessible>
#include <QString>

#include "platform/Layout.h"

class QListWidget;
class QWidget;

namespace ponderix::platform::qt {

// Makes Qt ask us for the interfaces of our own widgets (once per process).
void InstallAccessibleFactory();

// The role the widget reports, kept on the widget.
void SetAccessibleRole(QWidget& widget, AccessibleRole role);

// Tells screen readers that the focus is on the widget (on its child of that
// index, from 0), as Qt does when the focus moves.
void TellFocus(QWidget& widget, int child = -1);

// A list that takes the focus tells screen readers its chosen row, as the
// row it is on: Qt tells them only of the list, and they would not say the
// height chosen until the choice moved.
void TellCurrentRowOnFocus(QListWidget& list);

// Shows the text on the widget (a notification of its window's, which no one
// sees), so that a screen reader reads it now: one that comes into view is
// read at once, wherever the focus is.
void TellAnnouncement(QWidget& widget, const QString& text);

// Sets the name or description and tells screen readers, also when it is the
// same text again.
void TellAccessibleName(QWidget& widget, const QString& name);
void TellAccessibleDescription(QWidget& widget, const QString& description);

QAccessible::Role ToQAccessibleRole(AccessibleRole role);

// For tests: hears of every change told (Qt passes them on only to a screen
// reader that listens, which the off-screen platform has none of): names,
// descriptions, and announcements (ObjectShow). Null: none.
using AccessibleChangeListener = void (*)(QWidget& widget, QAccessible::Event what);
void SetAccessibleChangeListener(AccessibleChangeListener listener);

}  // namespace ponderix::platform::qt
