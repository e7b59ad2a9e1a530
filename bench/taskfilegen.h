#pragma once

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

// A task file as years of use leave it: records of many dates, about 1% of them due on
// `today`, with messages of everyday length.
inline QByteArray generateTaskFile(int records, QDate today, quint32 variant = 1)
{
    static const char *const verbs[] = {"Pay",   "Call",  "Email", "Book",    "Buy",   "Return",
                                        "Renew", "Check", "Send",  "Collect", "Cancel"};
    static const char *const things[] = {"the rent",
                                         "the dentist about the appointment",
                                         "mum",
                                         "train tickets",
                                         "the library books",
                                         "the car insurance",
                                         "birthday card",
                                         "the plumber about the kitchen tap",
                                         "passport photos",
                                         "the parcel at the post office",
                                         "the gym membership"};
    QRandomGenerator rng(variant);
    QByteArray out;
    out.reserve(qsizetype(records) * 36);
    for (int i = 0; i < records; ++i) {
        const QDate date =
            rng.bounded(100) == 0 ? today : QDate(2020, 1, 1).addDays(rng.bounded(3650));
        out += date.toString(QStringLiteral("ddMMyyyy")).toLatin1();
        out += verbs[rng.bounded(int(std::size(verbs)))];
        out += ' ';
        out += things[rng.bounded(int(std::size(things)))];
        if (rng.bounded(4) == 0)
            out += " #" + QByteArray::number(rng.bounded(1000));
        out += "\r\n";
    }
    return out;
}

inline bool writeTaskFile(const QString &path, int records, QDate today)
{
    QFile f(path);
    const QByteArray bytes = generateTaskFile(records, today);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
