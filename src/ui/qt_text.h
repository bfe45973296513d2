#pragma once
// Conversions between the core's UTF-8 std::string and QString.
#include <QString>
#include <string>
#include <string_view>

namespace kovo::ui {

inline QString ToQ(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQ(const QString& text) { return text.toStdString(); }

}  // namespace kovo::ui
