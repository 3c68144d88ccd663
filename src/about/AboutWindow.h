#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vexa::about {

class CreditsScroller;

// The About window: the program's name and release and the scrolling credits. Not modal; the
// main window stays usable. It deletes itself when closed, and the credits stop with it.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kProgramName = "VEXA 6";
    static constexpr const char* kRelease = "Version 6.0.0 Glass Otter Release";

    explicit AboutWindow(QWidget* owner);

    // Creates the window owned by `owner`, shows it and starts the credits.
    static AboutWindow* open(QWidget* owner);

    CreditsScroller* credits() const { return m_credits; }
    QPushButton* cmdOK() const { return m_ok; }

    static QStringList creditLines();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    CreditsScroller* m_credits = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace vexa::about
