#pragma once

#include "core/base/Job.h"
#include "core/cover/CoverFit.h"
#include "editor/EditPictures.h"
#include "editor/EffectMenus.h"
#include "editor/EffectRun.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollBar;
class QToolBar;
class QVBoxLayout;

namespace vexa::widgets {
class CoverHost;
class FitActions;
class PictureHolder;
} // namespace vexa::widgets

namespace vexa::editor {

// The Cover Manipulator: the selected slot's picture as opened (left) and as edited (right),
// twenty effects in three menus, five tools on the toolbar and in the Tools menu, one undo
// step. The window can be resized; the two pictures grow with it. "Accept" writes the
// edited picture back into the slot; "Cancel" leaves the slot alone, and also stops an effect
// that is still running. Opened modally for each use and thrown away afterwards. Effects run
// as a job on a worker thread, so the window keeps drawing and "Cancel" answers meanwhile.
class CoverEditor : public QDialog {
    Q_OBJECT
public:
    explicit CoverEditor(widgets::CoverHost& host, QWidget* parent = nullptr,
                         editor::EffectRunner runner = editor::engineEffectRunner());
    ~CoverEditor() override;

    // A menu item's effect on the current picture, through the effect engine. It starts the
    // effect and returns; the result becomes the current picture once the effect is done.
    void runEffect(std::int32_t effectId, std::int32_t parameter);

    // The toolbar's tools.
    void rotate();
    void mirror();
    void flip();
    void applyBrightness();
    void undoLastChange();

    // The look of the busy state: hourglass, everything but "Cancel" disabled. Afterwards the
    // focus goes back to where it was, so a key meant for Accept never lands on Cancel.
    void lockControls();
    void unlockControls();
    // The busy state itself: an effect or a tool is running.
    bool isBusy() const { return m_effect.isRunning(); }

    const editor::EditPictures& pictures() const { return m_pictures; }
    std::int32_t progressCell() const { return m_progress; }

    widgets::PictureHolder* originalView() const { return m_original; }
    widgets::PictureHolder* editedView() const { return m_newImage; }
    QToolBar* toolbar() const { return m_toolbar; }
    QAction* toolbarButton(int position) const; // 1 ... 5
    QGroupBox* brightnessFrame() const { return m_frame; }
    QScrollBar* brightnessBar() const { return m_scroll; }
    QPushButton* acceptButton() const { return m_accept; }
    QPushButton* cancelButton() const { return m_cancel; }
    QMenuBar* menus() const { return m_menuBar; }
    QMenu* menu(editor::EffectMenu which) const;

public slots:
    // "Accept": the current picture into the selected slot, then close.
    void acceptEdits();
    // "Cancel": leave the slot alone and close, stopping a running effect.
    void cancelEdits();
    // Esc and the window's close button count as "Cancel".
    void reject() override;
    void setVisible(bool visible) override;
    // Every way the window closes: its size and place are kept for the next time.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar(QWidget* client, QVBoxLayout& body);
    void buildBody(QWidget* client, QVBoxLayout& body);
    void takeOpenedPicture();
    // Runs one tool as a job, between lockControls and unlockControls, and makes its result
    // the current picture.
    void runTool(std::function<QImage(const QImage&)> tool);
    // Stops what runs without keeping the window's thread: an effect stops after its row, a
    // tool (which cannot stop half-way) is left to end alone and its result dropped.
    void stopWork();
    void showCurrent();
    void showProgress(std::int32_t percent);
    void effectFinished(const effects::EffectResult& result, const QImage& picture,
                        std::int32_t progress);
    void showBrightnessCaption();
    void tellRefused(const QString& reason);

    widgets::CoverHost& m_host;
    editor::EffectRunner m_runner;
    editor::EditPictures m_pictures;
    std::int32_t m_progress = 0;
    QString m_captionBeforeEffect;
    bool m_cursorSet = false;
    bool m_closing = false;
    bool m_toolRunning = false;
    QPointer<QWidget> m_focusBeforeBusy;

    QMenuBar* m_menuBar = nullptr;
    std::array<QMenu*, 3> m_menus{};
    QMenu* m_toolsMenu = nullptr;
    // How the cover's picture takes its shape; both previews show it, Accept keeps it.
    QMenu* m_shapeMenu = nullptr;
    widgets::FitActions* m_fits = nullptr;
    cover::Framing m_framing;
    QToolBar* m_toolbar = nullptr;
    std::array<QAction*, 5> m_toolbarButtons{};
    QGroupBox* m_frame = nullptr;
    QScrollBar* m_scroll = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    widgets::PictureHolder* m_original = nullptr;
    widgets::PictureHolder* m_newImage = nullptr;
    QPushButton* m_accept = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_activated = false;
    base::Job m_effect; // last: cancelled and joined before anything it reports to goes
};

} // namespace vexa::editor
