#pragma once
class QTabWidget;

namespace tivolan {

// Ctrl+Tab and Ctrl+PgDn go to the next page of `tabs`, Ctrl+Shift+Tab and
// Ctrl+PgUp to the one before, wherever the focus is in its window: the tab
// widget's own keys work only with the focus inside it (not in the side
// panel), and a focused list takes Ctrl+PgDn for its own PgDn and changes
// its value. Hidden or disabled pages are passed over.
void StepPagesByKeys(QTabWidget* tabs);

}  // namespace tivolan
