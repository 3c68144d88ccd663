#pragma once

#include <QByteArray>
#include <QString>

namespace vexa::base {

// A file's name as Linux knows it: bytes, which need not be UTF-8. Text made from it maps every
// byte that does not decode as UTF-8 to the lone surrogate U+DC80 ... U+DCFF (the mapping other
// languages' runtimes use), so that the name survives the round trip through a QString and a
// file named "caf\xe9.png" is opened and written under exactly that name. QFile::encodeName and
// decodeName replace such a byte with U+FFFD and lose it.
class FilePath {
public:
    FilePath() = default;
    static FilePath fromBytes(QByteArray bytes) { return FilePath(std::move(bytes)); }
    // Text as text() gives it, or as typed: UTF-8, U+DC80 ... U+DCFF back to their bytes.
    static FilePath fromText(const QString& text);

    const QByteArray& bytes() const { return m_bytes; }
    const char* c_str() const { return m_bytes.constData(); }
    QString text() const;
    bool isEmpty() const { return m_bytes.isEmpty(); }

    friend bool operator==(const FilePath&, const FilePath&) = default;

private:
    explicit FilePath(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    QByteArray m_bytes;
};

// The same mapping on its own, for names that come as bytes from elsewhere (folder entries).
QString fileNameText(const QByteArray& bytes);
QByteArray fileNameBytes(const QString& text);

} // namespace vexa::base
