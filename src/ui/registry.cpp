#include "ui/registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

std::string& LastWriteError() {
    static std::string reason;
    return reason;
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

// QSettings only says that the file could not be written; the file system says why.
std::string WriteFailureReason(const QString& path, QSettings::Status status) {
    if (status == QSettings::FormatError) return "Its contents are not in the settings format.";
    const QFileInfo file(path);
    if (file.isDir()) return "A folder of that name stands in its place.";
    QFileInfo folder(file.absolutePath());
    while (!folder.exists() && !folder.isRoot()) folder.setFile(folder.absolutePath());
    if (!folder.isDir()) return FromQ(QDir::toNativeSeparators(folder.absoluteFilePath())) + " is not a folder.";
    // Only a regular file is probed: opening anything else for writing may block.
    if (file.isFile()) {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) return FromQ(probe.errorString()) + ".";
    }
    const QString parent = file.absolutePath();
    if (!QFileInfo::exists(parent)) return "Its folder cannot be created.";
    if (!QFileInfo(parent).isWritable()) return "Its folder cannot be written.";
    return "The file system refused the write.";
}

}  // namespace

bool WriteRegistryText(const std::string& subKey, const std::string& valueName, const std::string& text) {
    const std::optional<QString> key = SettingsKey(subKey, valueName);
    if (!key) return false;
    auto store = OpenStore();
    store->setValue(*key, ToQ(text));
    store->sync();
    if (store->status() != QSettings::NoError) {
        LastWriteError() = WriteFailureReason(store->fileName(), store->status());
        return false;
    }
    LastWriteError().clear();
    return true;
}

const std::string& LastRegistryWriteError() { return LastWriteError(); }

std::string RegistryLocation() { return FromQ(QDir::toNativeSeparators(OpenStore()->fileName())); }

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
