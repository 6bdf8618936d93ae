#pragma once
#include <QObject>

class QWidget;

namespace tivolan {

// A closed list or up-down that the user has not focused ignores the mouse
// wheel: a wheel turned while the pointer passes over it would otherwise
// change a zone type, a relay mode or the transmission kind unseen. A wheel
// does not give them the focus either; a click or Tab does.
void GuardWheel(QWidget* root);

}  // namespace tivolan
