#pragma once
// A table cell that sorts by its number, not its text; a cell without a number sorts
// below every number. Shared by the backtest and research tables.
#include <QTableWidgetItem>
#include <QVariant>
#include <optional>

namespace kovo::ui {

class NumberItem : public QTableWidgetItem {
public:
    NumberItem(const QString& text, std::optional<double> value) : QTableWidgetItem(text) {
        // value_or, not *value: GCC 12 cannot see that an absent value is never read.
        setData(Qt::UserRole, value.has_value() ? QVariant(value.value_or(0.0)) : QVariant());
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const QVariant a = data(Qt::UserRole);
        const QVariant b = other.data(Qt::UserRole);
        if (!a.isValid() || !b.isValid()) return !a.isValid() && b.isValid();
        return a.toDouble() < b.toDouble();
    }
};

}  // namespace kovo::ui
