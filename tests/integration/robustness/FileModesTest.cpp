// The preference file and the autostart entry get their modes from the program, not from the
// umask the program happened to be started with.
#include "linux/XdgAutostart.h"
#include "prefs/JsonFilePreferenceStore.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lumatide {
namespace {

mode_t modeOf(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return 07777;
    }
    return status.st_mode & 07777;
}

// Sets the umask for one test and puts the old one back.
class Umask final {
public:
    explicit Umask(mode_t mask) : previous_(::umask(mask)) {}
    ~Umask() { ::umask(previous_); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t previous_;
};

TEST(FileModes, PreferenceFileIsPrivateWhateverTheUmask) {
    for (const mode_t mask : {mode_t{0}, mode_t{022}, mode_t{077}}) {
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        const Umask umask(mask);
        const QString path = folder.path() + QStringLiteral("/new/lumatide/preferences.json");
        JsonFilePreferenceStore store(path);
        ASSERT_TRUE(store.trySetValue(QStringLiteral("Lumatide.passcode"), QStringLiteral("1234")));
        EXPECT_EQ(modeOf(path), 0600u) << "umask " << mask;
        EXPECT_EQ(modeOf(folder.path() + QStringLiteral("/new/lumatide")), 0700u);
        EXPECT_EQ(modeOf(folder.path() + QStringLiteral("/new")), 0700u);
        EXPECT_FALSE(QFile::exists(path + QStringLiteral(".lock")));
    }
}

TEST(FileModes, ReadableFileLeftByAnotherProgramBecomesPrivateAtTheNextWrite) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + QStringLiteral("/preferences.json");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"Lumatide.workMinutes\": 45}");
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);

    JsonFilePreferenceStore store(path);
    ASSERT_TRUE(store.trySetValue(QStringLiteral("Lumatide.passcode"), QStringLiteral("1234")));
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(store.value(QStringLiteral("Lumatide.workMinutes")), QJsonValue(45));
}

TEST(FileModes, AutostartEntryIsWritableOnlyByTheUser) {
    for (const mode_t mask : {mode_t{0}, mode_t{022}}) {
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        const Umask umask(mask);
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), folder.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           folder.path() + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_CONFIG_DIRS"),
                           folder.path() + QStringLiteral("/etc"));
        XdgAutostart autostart(environment, QStringLiteral("/usr/bin/lumatide"));
        ASSERT_EQ(autostart.enable(), std::nullopt);
        EXPECT_EQ(modeOf(autostart.entryPath()), 0644u) << "umask " << mask;
    }
}

} // namespace
} // namespace lumatide
