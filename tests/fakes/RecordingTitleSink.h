#pragma once

#include "cycle/TitleSink.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace lumatide {

// Remembers every title in order.
class RecordingTitleSink final : public TitleSink {
public:
    struct Title {
        QString text;
        TimerPhase phase;
        std::int64_t remainingSeconds;
    };

    void showTitle(const QString& title, TimerPhase phase, std::int64_t remainingSeconds) override {
        titles.push_back({title, phase, remainingSeconds});
    }

    // The last title shown; empty when none was.
    QString last() const { return titles.empty() ? QString() : titles.back().text; }
    // Every title text in order, with immediate repeats collapsed.
    QStringList distinctTexts() const {
        QStringList texts;
        for (const Title& title : titles) {
            if (texts.isEmpty() || texts.constLast() != title.text) {
                texts.append(title.text);
            }
        }
        return texts;
    }

    std::vector<Title> titles;
};

} // namespace lumatide
