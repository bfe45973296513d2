#include "ui/shortcut_text.h"

#include <QStringList>

namespace kovo::ui {

QString WithShortcut(QString command, const QList<QKeySequence>& keys) {
    command.remove(QLatin1Char('&'));
    if (command.endsWith(QChar(0x2026))) command.chop(1);
    QStringList names;
    for (const QKeySequence& key : keys)
        if (!key.isEmpty()) names << key.toString(QKeySequence::NativeText);
    if (names.isEmpty()) return command;
    return command + QStringLiteral(" (") + names.join(QStringLiteral(" or ")) + QLatin1Char(')');
}

}  // namespace kovo::ui
