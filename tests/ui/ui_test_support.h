#pragma once
// A started main window with a scripted dialog service and a private state file.
#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "ui/dialog_service.h"
#include "ui/main_window.h"
#include "ui/registry.h"

namespace kovo::testing {

struct StartedWindow {
    ui::ScriptedDialogService dialogs;
    ui::frmMain main{dialogs};

    StartedWindow() {
        main.StartUp();
        // The start-up may report a missing index price file; tests look at what follows.
        dialogs.ClearRecords();
    }
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ui::UseRegistryFileForTests(dir_.filePath(QStringLiteral("state.ini")));
    }
    void TearDown() override { ui::UseRegistryFileForTests(QString()); }

    static std::unique_ptr<StartedWindow> Start() { return std::make_unique<StartedWindow>(); }
    std::string TempPath(const char* name) const { return dir_.filePath(QString::fromUtf8(name)).toStdString(); }
    QString StateFile() const { return dir_.filePath(QStringLiteral("state.ini")); }

    static void Settle() {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }

private:
    QTemporaryDir dir_;
};

}  // namespace kovo::testing
