#include "fakes/MemoryPreferenceStore.h"
#include "integration/services/ServicesTestSupport.h"
#include "linux/DesktopEntryExec.h"
#include "linux/ProgramLocation.h"
#include "linux/XdgAutostart.h"
#include "prefs/PreferenceKeys.h"
#include "system/DesktopId.h"
#include "system/LaunchAtLogin.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

using namespace lumatide;
using lumatide::test::LogCapture;
using lumatide::test::readAll;

namespace {

// Reads an Exec value back as a launcher does: the string escapes first, then the quoting,
// then the field codes. Nothing when the value breaks a rule.
std::optional<QStringList> parseExec(const QString& value) {
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) != QLatin1Char('\\') || i + 1 == value.size()) {
            unescaped.append(value.at(i));
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('s')) {
            unescaped.append(QLatin1Char(' '));
        } else if (next == QLatin1Char('n')) {
            unescaped.append(QLatin1Char('\n'));
        } else if (next == QLatin1Char('t')) {
            unescaped.append(QLatin1Char('\t'));
        } else if (next == QLatin1Char('r')) {
            unescaped.append(QLatin1Char('\r'));
        } else if (next == QLatin1Char('\\')) {
            unescaped.append(QLatin1Char('\\'));
        } else {
            unescaped.append(QLatin1Char('\\'));
            unescaped.append(next);
        }
    }

    const QString reserved = QStringLiteral("\t\n\"'\\><~|&;$*?#()`");
    QStringList arguments;
    QString current;
    bool inArgument = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped.at(i);
        if (c == QLatin1Char(' ')) {
            if (inArgument) {
                arguments.append(current);
                current.clear();
                inArgument = false;
            }
        } else if (c == QLatin1Char('"')) {
            inArgument = true;
            for (++i;; ++i) {
                if (i >= unescaped.size()) {
                    return std::nullopt; // unterminated quote
                }
                const QChar q = unescaped.at(i);
                if (q == QLatin1Char('"')) {
                    break;
                }
                if (q == QLatin1Char('\\')) {
                    if (i + 1 >= unescaped.size() ||
                        !QStringLiteral("\"`$\\").contains(unescaped.at(i + 1))) {
                        return std::nullopt;
                    }
                    current.append(unescaped.at(++i));
                } else if (q == QLatin1Char('`') || q == QLatin1Char('$')) {
                    return std::nullopt; // must be escaped inside quotes
                } else {
                    current.append(q);
                }
            }
        } else if (reserved.contains(c)) {
            return std::nullopt; // reserved characters only inside quotes
        } else {
            inArgument = true;
            current.append(c);
        }
    }
    if (inArgument) {
        arguments.append(current);
    }
    for (QString& argument : arguments) {
        QString expanded;
        for (qsizetype i = 0; i < argument.size(); ++i) {
            if (argument.at(i) != QLatin1Char('%')) {
                expanded.append(argument.at(i));
            } else if (i + 1 < argument.size() && argument.at(i + 1) == QLatin1Char('%')) {
                expanded.append(QLatin1Char('%'));
                ++i;
            } else {
                return std::nullopt; // a field code where none was written
            }
        }
        argument = expanded;
    }
    return arguments;
}

// The value of `key` in the [Desktop Entry] group of the file at `path`.
std::optional<QString> entryValue(const QString& path, const QString& key) {
    const QStringList lines = QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(key + QLatin1Char('='))) {
            return line.mid(key.size() + 1);
        }
    }
    return std::nullopt;
}

bool desktopFileIsValid(const QString& path, QString* complaints) {
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"), {path});
    if (!validate.waitForFinished(10000)) {
        *complaints =
            QStringLiteral("desktop-file-validate did not run: ") + validate.errorString();
        return false;
    }
    *complaints =
        QString::fromUtf8(validate.readAllStandardOutput() + validate.readAllStandardError());
    return validate.exitStatus() == QProcess::NormalExit && validate.exitCode() == 0;
}

class AutostartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir().mkpath(userConfig()));
        ASSERT_TRUE(QDir().mkpath(systemConfig()));
        environment.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), userConfig());
        environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), systemConfig());
    }

    QString userConfig() const { return root.filePath(QStringLiteral("config")); }
    QString systemConfig() const { return root.filePath(QStringLiteral("xdg")); }
    QString userEntry() const {
        return userConfig() + QStringLiteral("/autostart/com.vexilo.lumatide.desktop");
    }
    QString systemEntry() const {
        return systemConfig() + QStringLiteral("/autostart/com.vexilo.lumatide.desktop");
    }
    void writeFile(const QString& path, const QByteArray& content) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir root;
    QProcessEnvironment environment;
};

} // namespace

TEST_F(AutostartTest, RegisterWritesAnExecThatReadsBackToThePath) {
    const QString program = root.filePath(
        QStringLiteral("My Apps/it's \"quoted\" $HOME `id` back\\slash 100%s/lumatide"));
    XdgAutostart autostart(environment, program);
    EXPECT_EQ(autostart.entryPath(), userEntry());
    EXPECT_FALSE(autostart.isEnabled());

    EXPECT_EQ(autostart.enable(), std::nullopt);
    EXPECT_TRUE(autostart.isEnabled());
    EXPECT_EQ(entryValue(userEntry(), QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(entryValue(userEntry(), QStringLiteral("Name")), QStringLiteral("Lumatide"));
    const std::optional<QString> exec = entryValue(userEntry(), QStringLiteral("Exec"));
    ASSERT_TRUE(exec.has_value());
    EXPECT_EQ(parseExec(*exec), QStringList{program}) << exec->toStdString();
    QString complaints;
    EXPECT_TRUE(desktopFileIsValid(userEntry(), &complaints)) << complaints.toStdString();

    // Registering again keeps a single, identical entry.
    const QByteArray first = readAll(userEntry());
    EXPECT_EQ(autostart.enable(), std::nullopt);
    EXPECT_EQ(readAll(userEntry()), first);

    EXPECT_EQ(autostart.disable(), std::nullopt);
    EXPECT_FALSE(QFile::exists(userEntry()));
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_EQ(autostart.disable(), std::nullopt);
}

TEST_F(AutostartTest, ExecQuotingFollowsTheDesktopEntryRules) {
    EXPECT_EQ(desktopEntryExecValue(QStringLiteral("/usr/bin/lumatide")),
              QStringLiteral("\"/usr/bin/lumatide\""));
    // A literal dollar is \\$ in the file and a literal backslash four backslashes.
    EXPECT_EQ(desktopEntryExecValue(QStringLiteral("/a$b\\c")),
              QStringLiteral("\"/a\\\\$b\\\\\\\\c\""));
    EXPECT_EQ(desktopEntryExecValue(QStringLiteral("/50% off/x")),
              QStringLiteral("\"/50%% off/x\""));
    for (const QString& path :
         {QStringLiteral("/opt/a'b/c d/e\"f"), QStringLiteral("/t/`x`;y|z&w<v>u~*?#()"),
          QStringLiteral("/t/\u00e9t\u00e9/\u4f11\u606f"), QStringLiteral("/t/%f %u %%")}) {
        const std::optional<QString> value = desktopEntryExecValue(path);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(parseExec(*value), QStringList{path}) << value->toStdString();
    }
    EXPECT_FALSE(desktopEntryExecValue(QString()));
    EXPECT_FALSE(desktopEntryExecValue(QStringLiteral("/tmp/a\nExec=/bin/evil")));
    EXPECT_FALSE(desktopEntryExecValue(QStringLiteral("/tmp/a\tb")));
    EXPECT_FALSE(desktopEntryExecValue(QStringLiteral("/tmp/a\rb")));
    EXPECT_FALSE(desktopEntryExecValue(QStringLiteral("/tmp/a\u0085b")));
}

TEST_F(AutostartTest, APathWithAControlCharacterIsRefusedWithAReason) {
    XdgAutostart autostart(environment, QStringLiteral("/tmp/new\nline/lumatide"));
    const std::optional<QString> error = autostart.enable();
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(QStringLiteral("control character"))) << error->toStdString();
    EXPECT_FALSE(error->contains(QLatin1Char('\n')));
    EXPECT_FALSE(QFile::exists(userEntry()));
    EXPECT_FALSE(autostart.isEnabled());
}

TEST_F(AutostartTest, EntriesThatDoNotStartCountAsOff) {
    XdgAutostart autostart(environment, QStringLiteral("/usr/bin/lumatide"));
    writeFile(userEntry(), "[Desktop Entry]\nType=Application\nExec=lumatide\nHidden=true\n");
    EXPECT_FALSE(autostart.isEnabled());
    writeFile(userEntry(),
              "[Desktop Entry]\nType=Application\nExec=lumatide\nX-GNOME-Autostart-enabled = "
              "false\n");
    EXPECT_FALSE(autostart.isEnabled());
    // Keys of another group do not belong to the entry.
    writeFile(userEntry(), "[Desktop Entry]\nType=Application\nExec=lumatide\n"
                           "[Desktop Action hide]\nHidden=true\n");
    EXPECT_TRUE(autostart.isEnabled());

    // Registering over a switched-off entry switches it on.
    writeFile(
        userEntry(),
        "[Desktop Entry]\nType=Application\nExec=lumatide\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(autostart.enable(), std::nullopt);
    EXPECT_TRUE(autostart.isEnabled());
}

TEST_F(AutostartTest, ASystemWideEntryIsHiddenByTheUsersCopy) {
    writeFile(systemEntry(), "[Desktop Entry]\nType=Application\nName=Lumatide\nExec=lumatide\n");
    XdgAutostart autostart(environment, QStringLiteral("/usr/bin/lumatide"));
    // The system-wide entry alone starts the program at login.
    EXPECT_TRUE(autostart.isEnabled());

    EXPECT_EQ(autostart.disable(), std::nullopt);
    EXPECT_EQ(entryValue(userEntry(), QStringLiteral("Hidden")), QStringLiteral("true"));
    EXPECT_TRUE(QFile::exists(systemEntry()));
    EXPECT_FALSE(autostart.isEnabled());

    EXPECT_EQ(autostart.enable(), std::nullopt);
    EXPECT_EQ(entryValue(userEntry(), QStringLiteral("Hidden")), std::nullopt);
    EXPECT_TRUE(autostart.isEnabled());
}

TEST_F(AutostartTest, AnUnwritableFolderGivesTheErrorText) {
    // A configuration folder that is a regular file: the folder cannot be created.
    writeFile(root.filePath(QStringLiteral("plain-file")), "not a folder");
    QProcessEnvironment blocked = environment;
    blocked.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("plain-file")));
    XdgAutostart autostart(blocked, QStringLiteral("/usr/bin/lumatide"));
    const std::optional<QString> error = autostart.enable();
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->startsWith(QStringLiteral("Could not write the autostart entry ") +
                                  autostart.entryPath() + QStringLiteral(": ")))
        << error->toStdString();
    EXPECT_GT(error->size(), QStringLiteral("Could not write the autostart entry : ").size() +
                                 autostart.entryPath().size());
    EXPECT_FALSE(autostart.isEnabled());

    // A read-only folder, written by an unprivileged user (root could write anywhere).
    const QString autostartDir = userConfig() + QStringLiteral("/autostart");
    ASSERT_TRUE(QDir().mkpath(autostartDir));
    ASSERT_TRUE(QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                       QFile::ExeOwner | QFile::ReadOther |
                                                       QFile::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(userConfig(), QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner | QFile::ReadOther |
                                                        QFile::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(autostartDir, QFile::ReadOwner | QFile::ExeOwner |
                                                        QFile::ReadOther | QFile::ExeOther));
    QProcess helper;
    QProcessEnvironment helperEnvironment = environment;
    helperEnvironment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    helper.setProcessEnvironment(helperEnvironment);
    const QStringList helperArguments{QStringLiteral("autostart-register"),
                                      QStringLiteral("/usr/bin/lumatide")};
    if (::geteuid() == 0) {
        helper.start(QStringLiteral("setpriv"),
                     QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                 QStringLiteral("--clear-groups"),
                                 QStringLiteral(LUMATIDE_SERVICES_HELPER)} +
                         helperArguments);
    } else {
        helper.start(QStringLiteral(LUMATIDE_SERVICES_HELPER), helperArguments);
    }
    ASSERT_TRUE(helper.waitForFinished(20000)) << helper.errorString().toStdString();
    const QString output = QString::fromUtf8(helper.readAllStandardOutput()).trimmed();
    EXPECT_EQ(helper.exitCode(), 1) << helper.readAllStandardError().toStdString();
    EXPECT_EQ(output, QStringLiteral("Could not write the autostart entry ") + userEntry() +
                          QStringLiteral(": Permission denied"));
    EXPECT_FALSE(QFile::exists(userEntry()));
}

TEST_F(AutostartTest, FirstRunDefaultOnlyFromAnInstalledPrefix) {
    // A real installation of this build into a temporary prefix.
    const QString prefix = root.filePath(QStringLiteral("prefix"));
    QProcess install;
    install.start(QStringLiteral(LUMATIDE_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(LUMATIDE_BUILD_DIR),
                   QStringLiteral("--prefix"), prefix});
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    const QString installed = prefix + QStringLiteral("/bin/lumatide");
    const QString desktopFile =
        prefix + QStringLiteral("/share/applications/") + desktopId + QStringLiteral(".desktop");
    ASSERT_TRUE(QFile::exists(installed));
    QString complaints;
    EXPECT_TRUE(desktopFileIsValid(desktopFile, &complaints)) << complaints.toStdString();

    const QString buildTree = QStringLiteral(LUMATIDE_PROGRAM);
    EXPECT_TRUE(runningFromInstalledLocation(installed, environment));
    EXPECT_FALSE(runningFromInstalledLocation(buildTree, environment));
    EXPECT_FALSE(
        runningFromInstalledLocation(root.filePath(QStringLiteral("missing/bin/x")), environment));
    // A link elsewhere (say /usr/local/bin) still leads to the installed prefix.
    const QString link = root.filePath(QStringLiteral("lumatide-link"));
    ASSERT_TRUE(QFile::link(installed, link));
    EXPECT_TRUE(runningFromInstalledLocation(link, environment));
    EXPECT_EQ(programPathToStart(environment, link), QFileInfo(installed).canonicalFilePath());
    QProcessEnvironment appImage = environment;
    appImage.insert(QStringLiteral("APPIMAGE"), QStringLiteral("/home/u/Lumatide.AppImage"));
    EXPECT_TRUE(runningFromInstalledLocation(buildTree, appImage));
    EXPECT_EQ(programPathToStart(appImage, buildTree), QStringLiteral("/home/u/Lumatide.AppImage"));

    LogCapture log;
    {
        MemoryPreferenceStore preferences;
        XdgAutostart autostart(environment, programPathToStart(environment, buildTree));
        enableLaunchAtLoginByDefaultIfNeeded(preferences, autostart,
                                             runningFromInstalledLocation(buildTree, environment));
        EXPECT_FALSE(QFile::exists(userEntry()));
        EXPECT_TRUE(preferences.values().isEmpty());
    }

    MemoryPreferenceStore preferences;
    XdgAutostart autostart(environment, programPathToStart(environment, installed));
    enableLaunchAtLoginByDefaultIfNeeded(preferences, autostart,
                                         runningFromInstalledLocation(installed, environment));
    ASSERT_TRUE(QFile::exists(userEntry()));
    const std::optional<QString> exec = entryValue(userEntry(), QStringLiteral("Exec"));
    ASSERT_TRUE(exec.has_value());
    EXPECT_EQ(parseExec(*exec), QStringList{QFileInfo(installed).canonicalFilePath()});
    EXPECT_EQ(preferences.value(launchAtLoginPreferenceInitializedKey), QJsonValue(true));

    // Once applied, a removed entry (the user's choice) is not written again.
    ASSERT_TRUE(QFile::remove(userEntry()));
    enableLaunchAtLoginByDefaultIfNeeded(preferences, autostart, true);
    EXPECT_FALSE(QFile::exists(userEntry()));
    EXPECT_TRUE(LogCapture::lines().isEmpty()) << LogCapture::lines().join(u'\n').toStdString();
}
