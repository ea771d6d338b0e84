// SPDX-License-Identifier: GPL-3.0-or-later
// Launch at login against real files: autostart entries in a temporary configuration folder,
// the quoting of their Exec values, and the first-run default.
#include "fakes/MemoryPreferenceStore.h"
#include "integration/services/ServicesTestSupport.h"
#include "linux/DesktopEntryExec.h"
#include "linux/ProgramLocation.h"
#include "linux/XdgAutostart.h"
#include "prefs/PreferenceKeys.h"
#include "system/LaunchAtLogin.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

using namespace lumatide;
using namespace Qt::StringLiterals;
using lumatide::test::readBytes;

namespace {

// The value of `key` in the file at `path`.
std::optional<QString> entryValue(const QString& path, const QString& key) {
    for (const QString& line : QString::fromUtf8(readBytes(path)).split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char('='))) {
            return line.mid(key.size() + 1);
        }
    }
    return std::nullopt;
}

const QByteArray entryHead = "[Desktop Entry]\nType=Application\nName=Lumatide\nExec=lumatide\n";

class AutostartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        environment.insert(u"HOME"_s, root.filePath(u"home"_s));
        environment.insert(u"XDG_CONFIG_HOME"_s, root.filePath(u"config"_s));
        environment.insert(u"XDG_CONFIG_DIRS"_s, root.filePath(u"xdg"_s));
    }

    QString userEntry() const {
        return root.filePath(u"config/autostart/com.vexilo.lumatide.desktop"_s);
    }
    QString systemEntry() const {
        return root.filePath(u"xdg/autostart/com.vexilo.lumatide.desktop"_s);
    }
    static void writeFile(const QString& path, const QByteArray& content) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()) &&
                    test::writeBytes(path, content));
    }

    QTemporaryDir root;
    QProcessEnvironment environment;
};

} // namespace

TEST_F(AutostartTest, RegisteringWritesAValidEntryThatStartsThisPath) {
    // Whatever the umask, the entry is readable by all but writable only by the user.
    const struct RestoreUmask {
        mode_t previous;
        ~RestoreUmask() { ::umask(previous); }
    } restore{::umask(0)};
    const QString program =
        root.filePath(u"My Apps/it's \"quoted\" $HOME `id` back\\slash 100%s/lumatide"_s);
    XdgAutostart autostart(environment, program);
    EXPECT_EQ(autostart.enable(), std::nullopt);
    EXPECT_TRUE(autostart.isEnabled());
    EXPECT_EQ(entryValue(userEntry(), u"Exec"_s), desktopEntryExecValue(program));
    EXPECT_EQ(test::modeOf(userEntry()), 0644);
    QProcess validate;
    validate.start(u"desktop-file-validate"_s, {userEntry()});
    ASSERT_TRUE(validate.waitForFinished(10000)) << validate.errorString().toStdString();
    EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();

    // Registering again keeps a single, identical entry.
    const QByteArray first = readBytes(userEntry());
    EXPECT_EQ(autostart.enable(), std::nullopt);
    EXPECT_EQ(readBytes(userEntry()), first);

    EXPECT_EQ(autostart.disable(), std::nullopt);
    EXPECT_FALSE(QFile::exists(userEntry()));
}

TEST_F(AutostartTest, ExecValuesQuoteEveryLayerOrAreRefused) {
    // The value as written, every layer a launcher undoes in turn: the string escapes, the
    // quoting of " ` $ \ and the field codes. fuzz_desktop_exec reads random paths back.
    const std::pair<QString, QString> written[] = {
        {uR"(/a$b\c)"_s, uR"("/a\\$b\\\\c")"_s},
        {uR"x(/opt/a'b/c d/e"f `x`;y|z&w<v>u~*?#())x"_s,
         uR"x("/opt/a'b/c d/e\\"f \\`x\\`;y|z&w<v>u~*?#()")x"_s},
        {u"/50% off/%f %%"_s, u"\"/50%% off/%%f %%%%\""_s},
        {u"/t/\u00e9t\u00e9/\u4f11\u606f"_s, u"\"/t/\u00e9t\u00e9/\u4f11\u606f\""_s}};
    for (const auto& [path, value] : written) {
        EXPECT_EQ(desktopEntryExecValue(path), value) << path.toStdString();
    }
    for (const QString& path : {QString(), u"/tmp/a\nExec=/bin/evil"_s, u"/tmp/a\tb"_s,
                                u"/tmp/a\rb"_s, u"/tmp/a\u0085b"_s}) {
        EXPECT_EQ(desktopEntryExecValue(path), std::nullopt) << path.toStdString();
    }
    // Registering such a path fails with a reason on one line and writes nothing.
    XdgAutostart autostart(environment, u"/tmp/new\nline/lumatide"_s);
    const QString refused = autostart.enable().value_or(QString());
    EXPECT_TRUE(refused.contains(u"control character"_s)) << refused.toStdString();
    EXPECT_FALSE(refused.contains(QLatin1Char('\n')));
    EXPECT_FALSE(QFile::exists(userEntry()));

    // So does registering where the folder cannot be made, below a regular file.
    writeFile(root.filePath(u"plain-file"_s), "not a folder");
    environment.insert(u"XDG_CONFIG_HOME"_s, root.filePath(u"plain-file"_s));
    XdgAutostart blocked(environment, u"/usr/bin/lumatide"_s);
    const QString prefix =
        u"Could not write the autostart entry "_s + blocked.entryPath() + u": "_s;
    const QString error = blocked.enable().value_or(QString());
    EXPECT_TRUE(error.startsWith(prefix) && error.size() > prefix.size()) << error.toStdString();
}

TEST_F(AutostartTest, OnlyEntriesThatStartTheProgramCountAsOn) {
    const struct {
        const char* user; // nullptr: no such file
        const char* system;
        bool enabled;
    } cases[] = {
        {nullptr, nullptr, false},
        {"", nullptr, true},
        {"Hidden=true\n", nullptr, false},
        {"Hidden=1\n", nullptr, false},
        {"X-GNOME-Autostart-enabled = false\n", nullptr, false},
        {"X-GNOME-Autostart-enabled=0\n", nullptr, false},
        // Keys of another group do not belong to the entry.
        {"[Desktop Action hide]\nHidden=true\n", nullptr, true},
        // The user's entry, whatever it says, overrides a system-wide one.
        {nullptr, "", true},
        {nullptr, "Hidden=true\n", false},
        {"Hidden=true\n", "", false},
        {"", "Hidden=true\n", true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        QFile::remove(userEntry());
        QFile::remove(systemEntry());
        if (cases[i].user != nullptr) {
            writeFile(userEntry(), entryHead + cases[i].user);
        }
        if (cases[i].system != nullptr) {
            writeFile(systemEntry(), entryHead + cases[i].system);
        }
        XdgAutostart autostart(environment, u"/usr/bin/lumatide"_s);
        EXPECT_EQ(autostart.isEnabled(), cases[i].enabled) << "case " << i;
    }

    // Registering over a switched-off entry switches it on.
    writeFile(userEntry(), entryHead + "X-GNOME-Autostart-enabled=false\n");
    XdgAutostart autostart(environment, u"/usr/bin/lumatide"_s);
    EXPECT_EQ(autostart.enable(), std::nullopt);
    EXPECT_TRUE(autostart.isEnabled());

    // Beside a system-wide entry the user's copy only hides it; while that entry starts the
    // program, switching on writes nothing.
    QFile::remove(userEntry());
    writeFile(systemEntry(), entryHead);
    EXPECT_EQ(setLaunchAtLoginEnabled(true, autostart), std::nullopt);
    EXPECT_FALSE(QFile::exists(userEntry()));
    EXPECT_EQ(setLaunchAtLoginEnabled(false, autostart), std::nullopt);
    EXPECT_EQ(entryValue(userEntry(), u"Hidden"_s), u"true"_s);
    EXPECT_TRUE(QFile::exists(systemEntry()));
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_EQ(setLaunchAtLoginEnabled(true, autostart), std::nullopt);
    EXPECT_EQ(entryValue(userEntry(), u"Hidden"_s), std::nullopt);
    EXPECT_TRUE(autostart.isEnabled());
}

TEST_F(AutostartTest, FirstRunDefaultOnlyFromAnInstalledPrefix) {
    // An installed copy has the desktop file beside its bin folder; a build tree has not.
    const QString installed = root.filePath(u"prefix/bin/lumatide"_s);
    writeFile(installed, "");
    writeFile(root.filePath(u"prefix/share/applications/com.vexilo.lumatide.desktop"_s), entryHead);
    const QString buildTree = root.filePath(u"build/bin/lumatide"_s);
    writeFile(buildTree, "");
    // A link elsewhere (say /usr/local/bin) still leads to the installed prefix.
    const QString link = root.filePath(u"lumatide-link"_s);
    ASSERT_TRUE(QFile::link(installed, link));
    EXPECT_TRUE(runningFromInstalledLocation(link, environment));
    EXPECT_FALSE(runningFromInstalledLocation(buildTree, environment));
    QProcessEnvironment appImage = environment;
    appImage.insert(u"APPIMAGE"_s, u"/home/u/Lumatide.AppImage"_s);
    EXPECT_TRUE(runningFromInstalledLocation(buildTree, appImage));
    EXPECT_EQ(programPathToStart(appImage, buildTree), u"/home/u/Lumatide.AppImage"_s);

    MemoryPreferenceStore preferences;
    XdgAutostart autostart(environment, programPathToStart(environment, link));
    enableLaunchAtLoginByDefaultIfNeeded(preferences, autostart,
                                         runningFromInstalledLocation(link, environment));
    EXPECT_EQ(entryValue(userEntry(), u"Exec"_s),
              desktopEntryExecValue(QFileInfo(installed).canonicalFilePath()));
    EXPECT_EQ(preferences.value(launchAtLoginPreferenceInitializedKey), QJsonValue(true));
}
