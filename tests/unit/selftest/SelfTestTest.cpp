#include "selftest/SelfTest.h"

#include <QByteArray>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumatide;

namespace {

struct ChildResult {
    int status = 0;
    QByteArray output;
};

// Runs the self-test in a child process with its standard output captured, the way the
// program's entry point runs it, and waits for it to finish.
ChildResult runInChild(const SelfTestSources& sources) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        dup2(pipeEnds[1], STDOUT_FILENO);
        runSelfTest(sources);
        std::fflush(stdout);
        _exit(0);
    }
    close(pipeEnds[1]);
    ChildResult result;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        result.output.append(buffer, count);
    }
    close(pipeEnds[0]);
    waitpid(child, &result.status, 0);
    return result;
}

// Sources whose table for one language has been damaged by `damage`.
SelfTestSources damaged(AppLanguage language, void (*damage)(Texts&)) {
    auto tables = std::make_shared<std::map<AppLanguage, Texts>>();
    for (AppLanguage each : allLanguages) {
        tables->emplace(each, Texts::forLanguage(each));
    }
    damage(tables->at(language));
    SelfTestSources sources;
    sources.texts = [tables](AppLanguage each) -> const Texts& { return tables->at(each); };
    return sources;
}

bool abortedSilently(const ChildResult& result) {
    return WIFSIGNALED(result.status) && WTERMSIG(result.status) == SIGABRT &&
           result.output.isEmpty();
}

} // namespace

TEST(SelfTest, PrintsTheElevenLinesAndReturns) {
    const ChildResult result = runInChild({});
    ASSERT_TRUE(WIFEXITED(result.status)) << "status " << result.status;
    EXPECT_EQ(WEXITSTATUS(result.status), 0);
    EXPECT_EQ(result.output, QByteArray("self-test ok\nlarge-figure ok\nanimated-figure ok\n"
                                        "step-motion ok\npose-sheet ok\nbear-figure ok\n"
                                        "breathing-scale ok\nsmooth-breathing-text ok\n"
                                        "pose-instruction ok\neye-care-background ok\n"
                                        "lock-warning ok\n"));
}

TEST(SelfTest, ABrokenTextStopsTheRunBeforeAnyOutput) {
    EXPECT_TRUE(abortedSilently(
        runInChild(damaged(AppLanguage::german, [](Texts& t) { t.menuLanguage.clear(); }))));
    EXPECT_TRUE(abortedSilently(
        runInChild(damaged(AppLanguage::korean, [](Texts& t) { t.quitLimitMessage.clear(); }))));
    EXPECT_TRUE(abortedSilently(
        runInChild(damaged(AppLanguage::french, [](Texts& t) { t.actions.pop_back(); }))));
    EXPECT_TRUE(abortedSilently(runInChild(
        damaged(AppLanguage::english, [](Texts& t) { t.unlock = QStringLiteral("Unlok"); }))));
    EXPECT_TRUE(abortedSilently(runInChild(
        damaged(AppLanguage::spanish, [](Texts& t) { t.menuAnonymousUsageStats.clear(); }))));
    EXPECT_TRUE(abortedSilently(runInChild(damaged(AppLanguage::simplifiedChinese, [](Texts& t) {
        t.actions[11].kind = ActionKind::taiChi;
    }))));
}
