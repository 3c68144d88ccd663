#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

namespace vexa::widgets {
class CoverHost;
}

namespace vexa::notify {
class MessageNoticeWindow;
}

namespace vexa::app {

// What the notice says about a file that is no readable picture: the file's name (escaped
// where it holds control characters or bytes that are not UTF-8) and, when there is more to
// say, the reason, e.g. that the picture is over the pixel limit. An empty `file` stands for
// a picture on the clipboard.
QString unreadablePictureText(const QString& file, const QString& reason);

// Tells the user, in a notice over the main window, that a file meant for a slot could not
// be read. One such notice is up at a time: those that come meanwhile wait their turn, so
// walking through a folder of broken files with the arrow keys neither piles them up on the
// screen nor loses one.
class UnreadablePictureNotice : public QObject {
    Q_OBJECT
public:
    UnreadablePictureNotice(widgets::CoverHost& host, QObject* parent);

    void show(const QString& file, const QString& reason);

    // The notice while it is up, else null.
    notify::MessageNoticeWindow* openNotice() const;

private:
    struct Waiting {
        QString file;
        QString reason;
    };
    void open(const Waiting& notice);

    widgets::CoverHost& m_host;
    QPointer<notify::MessageNoticeWindow> m_notice;
    QString m_shownFile;
    QList<Waiting> m_waiting;
};

} // namespace vexa::app
