#pragma once
// Tooltips that name a command's keys, so that they can be learnt from the mouse.
#include <QKeySequence>
#include <QList>
#include <QString>

namespace kovo::ui {

// "Save as PNG (Ctrl+S)" for the command "Save as PNG…" and its keys, the alternatives
// joined by "or"; the command alone when it has no keys. A mnemonic's "&" is dropped.
QString WithShortcut(QString command, const QList<QKeySequence>& keys);

}  // namespace kovo::ui
