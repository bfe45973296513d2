// The store of named text values under the program's key.
#include <QDir>
#include <QFile>
#include <QSettings>

#include "ui/registry.h"
#include "ui_test_support.h"

namespace kovo::testing {
namespace {

class RegistryTest : public UiTest {};

TEST_F(RegistryTest, SubKeysBecomeGroupsAndTheProgramKeyIsTheTop) {
    EXPECT_TRUE(ui::WriteRegistryText("\\KOVO\\Year", "0", "2011"));
    EXPECT_TRUE(ui::WriteRegistryText("\\KOVO", "TZ0", "14"));
    QSettings file(StateFile(), QSettings::IniFormat);
    EXPECT_EQ(file.value(QStringLiteral("Year/0")).toString().toStdString(), "2011");
    EXPECT_EQ(file.value(QStringLiteral("TZ0")).toString().toStdString(), "14");
}

TEST_F(RegistryTest, ReadDistinguishesMissingFromEmptyAndTrimsControlCharacters) {
    std::string text = "untouched";
    EXPECT_FALSE(ui::ReadRegistryText("\\KOVO", "Nothing", text, "dflt"));
    EXPECT_EQ(text, "dflt");

    ASSERT_TRUE(ui::WriteRegistryText("\\KOVO\\Year", "1", ""));
    EXPECT_TRUE(ui::ReadRegistryText("\\KOVO\\Year", "1", text, "dflt"));
    EXPECT_EQ(text, "");

    ASSERT_TRUE(ui::WriteRegistryText("\\KOVO", "Stop", "next week\r\n\t"));
    EXPECT_TRUE(ui::ReadRegistryText("\\KOVO", "Stop", text, ""));
    EXPECT_EQ(text, "next week");

    ASSERT_TRUE(ui::WriteRegistryText("\\KOVO", "List", "a, b"));
    EXPECT_TRUE(ui::ReadRegistryText("\\KOVO", "List", text, ""));
    EXPECT_EQ(text, "a, b");
}

TEST_F(RegistryTest, EmptyValueNameAndForeignKeysAreRefused) {
    std::string text;
    EXPECT_FALSE(ui::WriteRegistryText("\\KOVO", "", "x"));
    EXPECT_FALSE(ui::ReadRegistryText("\\KOVO", "", text, "d"));
    EXPECT_EQ(text, "d");
    EXPECT_FALSE(ui::WriteRegistryText("\\Other", "a", "x"));
    EXPECT_FALSE(ui::ReadRegistryText("\\Other", "a", text, "e"));
    EXPECT_EQ(text, "e");
    EXPECT_FALSE(ui::ReadRegistryText("\\KOVOX", "a", text, "f"));
}

TEST_F(RegistryTest, UnwritableStoreSaysWhyAndAWriteThatWorksClearsTheReason) {
    EXPECT_EQ(ui::RegistryLocation(), QDir::toNativeSeparators(StateFile()).toStdString());
    ASSERT_TRUE(QDir().mkpath(StateFile()));
    EXPECT_FALSE(ui::WriteRegistryText("\\KOVO", "TZ0", "14"));
    EXPECT_EQ(ui::LastRegistryWriteError(), "A folder of that name stands in its place.");

    // A plain file where a folder of the path should be.
    const QString plain = StateFile() + QStringLiteral(".d");
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ui::UseRegistryFileForTests(plain + QStringLiteral("/sub/state.ini"));
    EXPECT_FALSE(ui::WriteRegistryText("\\KOVO", "TZ0", "14"));
    EXPECT_EQ(ui::LastRegistryWriteError(), QDir::toNativeSeparators(plain).toStdString() + " is not a folder.");

    ui::UseRegistryFileForTests(StateFile() + QStringLiteral("/inside.ini"));
    EXPECT_TRUE(ui::WriteRegistryText("\\KOVO", "TZ0", "14"));
    EXPECT_EQ(ui::LastRegistryWriteError(), "");
}

}  // namespace
}  // namespace kovo::testing
