#pragma once
// The editor of the user's named points (points.json beside the program's settings):
// a list, a name and a degree field, Add, Change, Remove, and Save, which replaces the
// file complete or not at all. A file that cannot be read is reported and left as it is;
// the editor then does not open, so that saving cannot overwrite what the user may
// still want to mend by hand.
#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "points/named_point.h"
#include "ui/dialog_service.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kovo::ui {

// The path of points.json: in the folder of the settings store (RegistryLocation).
std::string PointsFilePath();

class PointsDialog : public QDialog {
    Q_OBJECT

public:
    PointsDialog(QWidget* parent, DialogService& dialogs, std::vector<points::NamedPoint> points);

    // Reads the file and opens the editor; says what is wrong with a bad file instead.
    static void Edit(QWidget* parent, DialogService& dialogs);

    // The buttons, for the keys and the tests. Each returns whether the list changed
    // (Save: whether the file was written); a refusal is shown under the fields.
    bool AddClicked();
    bool ChangeClicked();
    bool RemoveClicked();
    bool SaveClicked();
    const std::vector<points::NamedPoint>& Points() const { return points_; }

private:
    void CreateControls();
    void FillList(int select);
    void RowChosen(int row);
    // The point of the fields, or nothing (the reason shown).
    std::optional<points::NamedPoint> ReadFields();
    bool Accept(std::vector<points::NamedPoint> candidate, int select);
    void Say(const QString& text);

    DialogService& dialogs_;
    std::vector<points::NamedPoint> points_;
    QListWidget* lstPoints;
    QLineEdit* txtName;
    QLineEdit* txtDegree;
    QPushButton* cmdAdd;
    QPushButton* cmdChange;
    QPushButton* cmdRemove;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;
    QLabel* lblProblem;
};

}  // namespace kovo::ui
