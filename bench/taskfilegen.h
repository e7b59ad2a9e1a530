#pragma once

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

// A task file as years of use leave it: `records` records of many dates with messages of
// everyday length, `due` of them (spread evenly through the file) falling on `today`.
inline QByteArray generateTaskFile(int records, int due, QDate today)
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
    QRandomGenerator rng(1);
    QByteArray out;
    out.reserve(qsizetype(records) * 36);
    const qint64 every = due > 0 ? qint64(records) / due : 0;
    for (int i = 0; i < records; ++i) {
        QDate date = QDate(2020, 1, 1).addDays(rng.bounded(3650));
        if (date == today)
            date = date.addDays(1);
        if (every > 0 && i % every == every / 2 && i / every < due)
            date = today;
        out += date.toString(u"ddMMyyyy").toLatin1();
        out += verbs[rng.bounded(int(std::size(verbs)))];
        out += ' ';
        out += things[rng.bounded(int(std::size(things)))];
        if (rng.bounded(4) == 0)
            out += " #" + QByteArray::number(rng.bounded(1000));
        out += "\r\n";
    }
    return out;
}

inline bool writeTaskFile(const QString &path, int records, int due, QDate today)
{
    QFile f(path);
    const QByteArray bytes = generateTaskFile(records, due, today);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
