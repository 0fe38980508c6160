#pragma once

class QEvent;
class QLineEdit;

// The name boxes of the list and item windows drop a typed character that no
// file name may hold, and show the "Illegal name." tip on the box. True when
// the key press was dropped.
bool dropIllegalNameKey(QLineEdit *box, QEvent *event);
