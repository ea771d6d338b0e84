#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QAbstractButton;
class QDialog;

namespace lumatide {

// What a person saw in one modal dialog, taken when its modal loop was running.
struct SeenDialog {
    bool isForm = false; // the change-passcode form rather than an alert
    QString message;     // alert message, or the form's title
    QString informativeText;
    QStringList buttons; // in the order they were added
    QString defaultButton;
    QImage icon;
    Qt::WindowModality modality = Qt::NonModal;
    bool hasParent = false;
    QStringList fieldTexts; // the form's fields as the form opened
    bool fieldsMasked = false;
};

// Answers the program's modal dialogs as a person would. Every modal dialog that is shown is
// recorded and, once its modal loop runs, handed to the next scripted answer. A dialog beyond
// the script is rejected (so a faulty program cannot hang the test) and counted.
class DialogAnswerer final : public QObject {
public:
    using Answer = std::function<void(QDialog&)>;

    explicit DialogAnswerer(std::vector<Answer> script);
    ~DialogAnswerer() override;

    const std::vector<SeenDialog>& seen() const { return seen_; }
    int unscripted() const { return unscripted_; }

    // Common answers.
    static Answer clickButton(int index);
    static Answer closeWindow();
    static Answer fillForm(const QString& current, const QString& fresh,
                           const QString& confirmation);

    static SeenDialog describe(QDialog& dialog);
    // The dialog's buttons in the order they were added.
    static std::vector<QAbstractButton*> buttonsOf(QDialog& dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void answer(QDialog& dialog);

    std::vector<Answer> script_;
    std::size_t next_ = 0;
    std::vector<SeenDialog> seen_;
    int unscripted_ = 0;
};

} // namespace lumatide
