// Form1's handlers for the task file: the scan at load and on Today's Work, the save and the
// date-field advance. They stay thin; the work is done by the plain functions beside them.
#include "mainwindow/form1.h"

#include "record.h"
#include "scan.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringTokenizer>

namespace {

// What a screen reader says of the window when the list comes up: the user hears what is
// due without leaving the date field, where the focus starts.
QString dueTasksDescription(QStringView listText, qsizetype matches)
{
    constexpr qsizetype MostNamed = 10;
    QStringList named;
    for (const QStringView message : qTokenize(listText, platform::LineBreak)) {
        if (named.size() == std::min(matches, MostNamed))
            break;
        named.append(message.toString());
    }
    QString description = (matches == 1 ? QStringLiteral("1 task due today: ")
                                        : QStringLiteral("%1 tasks due today: ").arg(matches)) +
                          named.join(QLatin1StringView("; "));
    if (matches > MostNamed)
        description += QStringLiteral("; and %1 more in the list").arg(matches - MostNamed);
    return description;
}

} // namespace

void Form1::Form_Load()
{
    todaystask();
}

void Form1::Command4_Click()
{
    todaystask();
}

void Form1::todaystask()
{
    taskfile = taskstore::taskFilePath(m_programDir);
    filenum = m_fileNumbers.freeFile();
    Command3->show();
    setCaption(QStringLiteral("Task Dayvane"));

    const taskstore::ScanResult scan =
        taskstore::scanTaskFile(m_fileNumbers, filenum, taskfile, m_clock, tasklines);
    if (scan.matches > 0) {
        setCaption(QStringLiteral("Today's Task(s)"));
        Text5->show();
        Text5->raise();
    }
    const QString due =
        scan.matches > 0 ? dueTasksDescription(scan.listText, scan.matches) : QString();
    setAccessibleDescription(due);
    Text5->setAccessibleDescription(scan.matches > 0 ? due
                                                     : QStringLiteral("No tasks fall due today"));
    // What the scan found is heard where the focus goes: the list, described by what is due,
    // or with no list to show, the day field, saying so. (At start-up the focus then starts in
    // the day field all the same.) The list takes the focus before its new text, whose caret a
    // screen reader would otherwise take for the move and say nothing more.
    if (!Text5->isHidden())
        Text5->setFocus();
    else
        focusDayFieldSaying(QStringLiteral("Task Dayvane: no tasks fall due today."));
    Text5->setPlainText(scan.listText); // CR LF is one line break to it
    if (!scan.error.isEmpty())
        reportFileProblem(scan.error);
}

void Form1::Command1_Click()
{
    using platform::TextFile;
    taskfile = taskstore::taskFilePath(m_programDir);
    filenum = m_fileNumbers.freeFile();
    // Opened before the fields are looked at: a task file that can't be written is reported
    // even for an entry that would be refused, before "something wrong".
    TextFile file(m_fileNumbers, filenum, taskfile, TextFile::Mode::Append,
                  taskstore::BusyFileWait);
    if (!file.isOpen()) {
        reportFileProblem(taskstore::fileProblem(taskfile, QStringLiteral("opened for saving"),
                                                 file.errorString()));
        return;
    }
    for (QLineEdit *dateField : {Text1, Text2}) {
        if (const QString padded = taskstore::padDateField(dateField->text());
            padded != dateField->text())
            dateField->setText(padded);
    }
    const QList<QLineEdit *> fields = {Text1, Text2, Text3, Text4};
    if (std::any_of(fields.begin(), fields.end(),
                    [](QLineEdit *f) { return f->text().isEmpty(); })) {
        file.close();
        QMessageBox box(QMessageBox::NoIcon, QString(), QStringLiteral("something wrong"),
                        QMessageBox::Ok, this);
        box.button(QMessageBox::Ok)->setIcon(QIcon()); // the style would give it one
        tell(box);
        return;
    }
    const QString record =
        taskstore::buildRecord(Text1->text(), Text2->text(), Text3->text(), Text4->text());
    const bool saved = taskstore::appendRecord(file, record);
    file.close(); // before any message, so that no other copy waits on us meanwhile
    if (!saved) {
        reportFileProblem(
            taskstore::fileProblem(taskfile, QStringLiteral("written"), file.errorString()));
        return;
    }
    for (QLineEdit *field : fields)
        field->clear();
}

namespace {

// A date field that is full hands the keyboard on, so a date can be typed in one run.
void advanceWhenFull(const QLineEdit *field, qsizetype length, QWidget *next)
{
    if (field->text().size() == length)
        next->setFocus();
}

} // namespace

void Form1::Text1_Change()
{
    advanceWhenFull(Text1, 2, Text2);
}

void Form1::Text2_Change()
{
    advanceWhenFull(Text2, 2, Text3);
}

void Form1::Text3_Change()
{
    advanceWhenFull(Text3, 4, Text4);
}
