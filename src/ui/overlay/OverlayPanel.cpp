// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/OverlayPanel.h"

#include "common/Colors.h"
#include "content/Breathing.h"
#include "content/PoseInstructions.h"
#include "content/TextFormat.h"
#include "content/Texts.h"
#include "cycle/BreakTiming.h"
#include "overlay/BackgroundView.h"
#include "overlay/FigureView.h"
#include "overlay/OverlayLayout.h"
#include "overlay/OverlayWindow.h"
#include "overlay/PanelLabel.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace lumatide {

namespace {

constexpr int largestBreathPixelSize = 34;

// Sizes are in logical pixels, the unit the panel's layout uses throughout.
QFont panelFont(int pixelSize, QFont::Weight weight) {
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QFont& font, const QColor& colour,
                  Qt::Alignment alignment = Qt::AlignCenter) {
    auto* label = new PanelLabel(parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setWordWrap(false);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

// The passcode field and the unlock button stay the desktop style's own controls, drawn with a
// dark palette taken from the panel instead of the desktop's light one: a face a step lighter
// than the background, white text, and the panel's teal for the focus ring and selection.
QPalette entryPalette(QPalette palette) {
    const QColor face = rgba(0.07, 0.15, 0.16);
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Base, rgba(0.05, 0.09, 0.13)); // a slate of its own
    palette.setColor(QPalette::AlternateBase, face);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::PlaceholderText, rgba(0.60, 0.68, 0.69));
    palette.setColor(QPalette::Button, rgba(0.11, 0.23, 0.25));
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Light, rgba(0.25, 0.40, 0.42));
    palette.setColor(QPalette::Midlight, rgba(0.18, 0.31, 0.33));
    palette.setColor(QPalette::Mid, rgba(0.10, 0.19, 0.20));
    palette.setColor(QPalette::Dark, rgba(0.03, 0.07, 0.08));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, rgba(0.33, 0.71, 0.76));
    palette.setColor(QPalette::HighlightedText, rgba(0.02, 0.06, 0.07));
    return palette;
}

double rowHeight(const QLabel* label) {
    return std::max(label->fontMetrics().height(), label->sizeHint().height());
}

} // namespace

OverlayPanel::OverlayPanel(QScreen* screen, BreakAction action, AppLanguage language,
                           QString passcode, std::function<double()> stepClock,
                           WindowSystem* windowSystem, OverlayWindow::Placement placement)
    : screen_(screen), action_(std::move(action)), language_(language),
      passcode_(std::move(passcode)), placement_(placement),
      window_(std::make_unique<OverlayWindow>(screen, windowSystem, placement)) {
    buildView(std::move(stepClock));
    window_->installEventFilter(this);
    applyLayout();
}

OverlayPanel::~OverlayPanel() {
    if (field_ != nullptr && QWidget::keyboardGrabber() == field_) {
        field_->releaseKeyboard();
    }
}

void OverlayPanel::buildView(std::function<double()> stepClock) {
    const Texts& texts = Texts::forLanguage(language_);
    const QColor white(Qt::white);

    // Children are added bottom to top: later ones are drawn above earlier ones.
    root_ = new BackgroundView(window_.get());
    root_->setObjectName(QStringLiteral("background"));
    timeLabel_ = makeLabel(root_, QStringLiteral("timeLabel"), panelFont(44, QFont::Bold), white);
    breathPixelSize_ = 22;
    breathLabel_ = makeLabel(root_, QStringLiteral("breathLabel"),
                             panelFont(breathPixelSize_, QFont::DemiBold), white,
                             Qt::AlignHCenter | Qt::AlignTop);
    figure_ = new FigureView(std::move(stepClock), root_);
    figure_->setObjectName(QStringLiteral("figure"));
    figure_->setKind(action_.kind);
    figure_->setLanguage(language_);
    // The figure lives inside this panel's window, so it never outlives the panel.
    figure_->setOnStepChange([this](int step) { showStep(step); });
    // The breathing prompt changes 30 times a second, as often as the figure is redrawn: it
    // follows the figure's timer, which runs while the panel is shown.
    figure_->setOnTick([this] { updateBreathingText(); });
    titleLabel_ =
        makeLabel(root_, QStringLiteral("titleLabel"), panelFont(22, QFont::DemiBold), white);
    titleLabel_->setText(action_.title);
    instructionLabel_ = makeLabel(root_, QStringLiteral("instructionLabel"),
                                  panelFont(17, QFont::Medium), rgba(0.82, 0.82, 0.82));
    // Until the figure reports its first step: the first step's line, without a prefix.
    instructionLabel_->setText(poseInstruction(action_.kind, 0, language_));
    cautionLabel_ = makeLabel(root_, QStringLiteral("cautionLabel"), panelFont(14, QFont::Normal),
                              rgba(0.68, 0.68, 0.68));
    cautionLabel_->setText(action_.caution);

    field_ = new QLineEdit(root_);
    field_->setObjectName(QStringLiteral("field"));
    field_->setEchoMode(QLineEdit::Password);
    field_->setPlaceholderText(texts.passwordPlaceholder);
    field_->setFont(panelFont(20, QFont::Normal));
    field_->setAlignment(Qt::AlignCenter);
    field_->setPalette(entryPalette(field_->palette()));
    field_->installEventFilter(this);
    connect(field_, &QLineEdit::returnPressed, this, &OverlayPanel::check);

    messageLabel_ = makeLabel(root_, QStringLiteral("messageLabel"), QApplication::font(),
                              rgba(1.0, 0.55, 0.5));

    // Return reaches the panel through the field (which holds the keyboard), so the button
    // is the default one in look only and does not answer Return a second time.
    unlockButton_ = new QPushButton(texts.unlock, root_);
    unlockButton_->setObjectName(QStringLiteral("unlockButton"));
    unlockButton_->setDefault(true);
    unlockButton_->setFocusPolicy(Qt::NoFocus);
    unlockButton_->setPalette(entryPalette(unlockButton_->palette()));
    connect(unlockButton_, &QPushButton::clicked, this, &OverlayPanel::check);
}

void OverlayPanel::applyLayout() {
    root_->setGeometry(window_->rect());
    OverlayRowHeights rows;
    rows.time = rowHeight(timeLabel_);
    rows.breath = QFontMetrics(panelFont(largestBreathPixelSize, QFont::DemiBold)).height();
    rows.title = rowHeight(titleLabel_);
    rows.instruction = rowHeight(instructionLabel_);
    rows.caution = rowHeight(cautionLabel_);
    rows.message = rowHeight(messageLabel_);
    const OverlayLayout layout = overlayLayout(window_->size(), rows);
    timeLabel_->setGeometry(layout.time.toRect());
    breathLabel_->setGeometry(layout.breath.toRect());
    figure_->setGeometry(layout.figure.toRect());
    titleLabel_->setGeometry(layout.title.toRect());
    instructionLabel_->setGeometry(layout.instruction.toRect());
    cautionLabel_->setGeometry(layout.caution.toRect());
    field_->setGeometry(layout.field.toRect());
    unlockButton_->setGeometry(layout.button.toRect());
    messageLabel_->setGeometry(layout.message.toRect());
}

void OverlayPanel::setUnlockHandler(std::function<void()> handler) {
    onUnlock_ = std::move(handler);
}

void OverlayPanel::setOnFieldPressed(std::function<void()> handler) {
    onFieldPressed_ = std::move(handler);
}

void OverlayPanel::show() {
    if (placement_ == OverlayWindow::Placement::managed) {
        window_->showFullScreen();
    } else {
        window_->show();
    }
    if (placement_ != OverlayWindow::Placement::offScreen) {
        window_->raise();
    }
    // Activation and the keyboard go to one panel only (takeKeyboard).
    field_->setFocus(Qt::OtherFocusReason);
    updateBreathingText();
}

void OverlayPanel::hide() {
    if (QWidget::keyboardGrabber() == field_) {
        field_->releaseKeyboard();
    }
    window_->hide();
}

void OverlayPanel::update(std::int64_t seconds) {
    timeLabel_->setText(formatSeconds(seconds, TimerPhase::rest));
    updateBreathingText();
}

void OverlayPanel::updateBreathingText() {
    // The wall clock keeps the prompt in step on every screen.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    breathLabel_->setText(breathingPhase(now, language_).text);
    const int size = static_cast<int>(std::lround(smoothBreathingFontSize(now)));
    if (size != breathPixelSize_) {
        breathPixelSize_ = size;
        breathLabel_->setFont(panelFont(size, QFont::DemiBold));
    }
}

void OverlayPanel::check() {
    const QString entered = field_->text();
    field_->clear();
    if (entered == passcode_) {
        // The handler may hide this panel; the copy keeps the callable alive while it runs.
        if (const std::function<void()> handler = onUnlock_) {
            handler();
        }
        return;
    }
    messageLabel_->setText(Texts::forLanguage(language_).incorrectPassword);
    field_->setFocus(Qt::OtherFocusReason);
}

QString OverlayPanel::typedText() const {
    return field_->text();
}

void OverlayPanel::setTypedText(const QString& text) {
    field_->setText(text);
}

void OverlayPanel::takeKeyboard() {
    window_->activateWindow();
    field_->setFocus(Qt::OtherFocusReason);
    field_->grabKeyboard();
}

void OverlayPanel::showStep(int step) {
    const Texts& texts = Texts::forLanguage(language_);
    instructionLabel_->setText(
        formatText(texts.poseStepPrefix, step + 1, poseInstruction(action_.kind, step, language_)));
}

bool OverlayPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_.get() && event->type() == QEvent::Resize) {
        applyLayout();
    } else if (watched == field_ && event->type() == QEvent::MouseButtonPress) {
        // Only one window can hold the keyboard: a click into this panel's field (on another
        // screen than the one that had it) moves the typing here.
        if (onFieldPressed_) {
            onFieldPressed_();
        } else {
            takeKeyboard();
        }
    } else if (watched == field_ && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->modifiers().testFlag(Qt::MetaModifier)) {
        // With the keyboard grabbed, the desktop's Super shortcuts arrive here: Super+D would
        // type a "d" that the hidden dots do not show, and the next right passcode would fail.
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumatide
