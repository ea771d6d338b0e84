#pragma once

#include <QByteArray>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>

namespace lumatide {

// Runs a test in a fixed local zone nine hours ahead of UTC, restoring the machine's zone
// afterwards. Day tokens follow the local calendar, so a token taken from the UTC date
// instead shows up as a wrong answer.
class TokyoTimeZoneTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsSet("TZ")) {
            savedZone_ = qgetenv("TZ");
        }
        qputenv("TZ", "Asia/Tokyo");
        tzset();
    }
    void TearDown() override {
        if (savedZone_) {
            qputenv("TZ", *savedZone_);
        } else {
            qunsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<QByteArray> savedZone_;
};

} // namespace lumatide
