#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <QTemporaryDir>

// Text as Notepad or PowerShell saves it in `encoding`: byte-order mark first.
inline QByteArray withMark(QStringView text,
                           QStringConverter::Encoding encoding = QStringConverter::Utf16LE)
{
    return QStringEncoder(encoding, QStringConverter::Flag::WriteBom).encode(text);
}

// A program folder of its own for each test, with helpers for its task file.
struct ProgramDir {
    QTemporaryDir dir;

    QString path() const { return dir.path(); }
    QString taskFile() const { return dir.filePath(QStringLiteral("dayvane.dat")); }

    void write(const QByteArray &bytes) const
    {
        QFile f(taskFile());
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write the test's task file");
    }

    QByteArray read() const
    {
        QFile f(taskFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
