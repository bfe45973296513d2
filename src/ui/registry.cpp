#include "ui/registry.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

#include "ui/qt_text.h"
#include "util/text.h"

namespace kovo::ui {

namespace {

QString& TestFile() {
    static QString path;
    return path;
}

std::unique_ptr<QSettings> OpenStore() {
    if (!TestFile().isEmpty()) return std::make_unique<QSettings>(TestFile(), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Velkarn"),
                                       QStringLiteral("KOVO"));
}

// "\KOVO\Year" + "0" -> "Year/0"; "\KOVO" + "TZ0" -> "TZ0". Anything outside the
// program's own key has no place in its store.
std::optional<QString> SettingsKey(const std::string& subKey, const std::string& valueName) {
    if (valueName.empty()) return std::nullopt;
    QString path = ToQ(subKey);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.startsWith(QLatin1Char('/'))) path.remove(0, 1);
    const QString app = QStringLiteral("KOVO");
    if (path == app) path.clear();
    else if (path.startsWith(app + QLatin1Char('/'))) path.remove(0, app.size() + 1);
    else return std::nullopt;
    while (path.endsWith(QLatin1Char('/'))) path.chop(1);
    const QString name = ToQ(valueName);
    return path.isEmpty() ? name : path + QLatin1Char('/') + name;
}

}  // namespace

bool WriteRegistryText(const std::string& subKey, const std::string& valueName, const std::string& text) {
    const std::optional<QString> key = SettingsKey(subKey, valueName);
    if (!key) return false;
    auto store = OpenStore();
    store->setValue(*key, ToQ(text));
    store->sync();
    return store->status() == QSettings::NoError;
}

bool ReadRegistryText(const std::string& subKey, const std::string& valueName, std::string& text,
                      const std::string& defaultText) {
    const std::optional<QString> key = SettingsKey(subKey, valueName);
    if (!key) {
        text = defaultText;
        return false;
    }
    auto store = OpenStore();
    if (!store->contains(*key)) {
        text = defaultText;
        return false;
    }
    const QVariant value = store->value(*key);
    // A hand-edited file may hold an unquoted list; keep its text as written.
    const QString stored = value.typeId() == QMetaType::QStringList ? value.toStringList().join(QStringLiteral(", "))
                                                                  : value.toString();
    text = util::TrimTrailingControl(FromQ(stored));
    return true;
}

void UseRegistryFileForTests(const QString& iniPath) { TestFile() = iniPath; }

}  // namespace kovo::ui
